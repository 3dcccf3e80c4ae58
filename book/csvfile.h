#pragma once

#include "result.h"

#include <QByteArray>
#include <QStringList>
#include <vector>

// A comma-separated file as RFC 4180 writes it: fields in double quotes may hold commas, line
// breaks and doubled quotes; records end in CRLF or LF. The text is UTF-8, with or without a
// byte-order mark.
struct CsvTable {
    QStringList header;
    std::vector<QStringList> rows; // the records after the header; blank lines are left out
};

// Text that is not UTF-8 is refused rather than guessed at.
[[nodiscard]] Result<CsvTable> ParseCsv(const QByteArray& bytes);
[[nodiscard]] Result<CsvTable> ReadCsvFile(const QString& path);
