#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The transaction log beside the database: the Database setting with its last three
// characters replaced by "log".
QString LogFilePath();

// With a message: appends a dated line to the log file and announces it, while the
// TransactionLog setting is 1. With empty text: reads the file and announces its lines.
// File errors are ignored; the caller never learns of them.
void LogTransaction(const QString& message);

// The unit-description list, pellory.des in the program folder, one entry a line.
QString UnitDescriptionFilePath();
// None when the file cannot be read.
std::optional<QStringList> LoadUnitDescriptions();
// An empty list deletes the file.
void SaveUnitDescriptions(const QStringList& descriptions);
