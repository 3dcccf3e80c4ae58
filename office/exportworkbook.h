#pragma once

#include "exporttable.h"

#include <QString>
#include <vector>

// The export for the accountant as one OpenDocument workbook, a sheet per table, made by an
// office of ours. Text is stored as text, so nothing in it can become a formula; numbers are
// numbers, money shown with two decimals; days are dates, shown yyyy-mm-dd.

struct WorkbookWritten {
    bool written = false;
    QString failure; // why it was not, in a phrase that follows "The workbook was not written: "
    explicit operator bool() const { return written; }
};

// Writes tables as the workbook at path, each sheet named after its table with the column
// names in its first row. The file appears whole or not at all: it is saved beside path under
// a scratch name and renamed over it.
[[nodiscard]] WorkbookWritten WriteExportWorkbook(const std::vector<ExportTable>& tables,
                                                  const QString& path);
