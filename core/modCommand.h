#pragma once

#include <QString>

class QComboBox;

// The transaction log beside the database: the Database setting with its last three
// characters replaced by "log".
QString LogFilePath();

// With a message: appends a dated line to the main window's transaction list and to the log
// file, while the TransactionLog setting is 1. With empty text: reloads the list from the file.
// File errors are ignored; the caller never learns of them.
void LogTransaction(const QString& message);

// The unit-description list, pellory.des in the program folder, one entry a line.
QString UnitDescriptionFilePath();
void LoadUnitDescriptions(QComboBox* list);
void SaveUnitDescriptions(QComboBox* list);
