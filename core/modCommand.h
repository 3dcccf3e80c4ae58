#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

// The transaction log beside the database: the Database setting with its extension replaced
// by ".log" (added when it has none), never the database file itself.
QString LogFilePath();

// With a message: appends a dated line to the log file and announces it, while the
// TransactionLog setting is 1; a line break in the message is written as a space. A line that
// cannot be written is not announced, and the user is warned once per run and log file. With
// empty text: reads the file and announces its lines.
void LogTransaction(const QString& message);

// The dated line LogTransaction writes for message at moment.
QString TransactionLine(const QDateTime& moment, const QString& message);
// Appends a dated line to the log and announces it, whatever the TransactionLog setting; false,
// with the user warned as LogTransaction warns, when it cannot be written.
bool AppendTransactionLine(const QString& line);

// The unit-description list, pellory.des in the program folder, one entry a line.
QString UnitDescriptionFilePath();
// None when the file cannot be read.
std::optional<QStringList> LoadUnitDescriptions();
// An empty list deletes the file.
// False when the list could not be written; the file is then as it was.
[[nodiscard]] bool SaveUnitDescriptions(const QStringList& descriptions);
