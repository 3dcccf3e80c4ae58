#pragma once

#include "result.h"

#include <QDateTime>
#include <QString>
#include <vector>

// Restoring the book file in use from one of the copies in the backup folder.

struct BackupCopy {
    QString path;
    QDateTime written;
    qint64 bytes = 0;
    int accounts = 0;
    int invoices = 0;
    QString damage; // why the copy cannot be restored; empty when it is a whole Pellory book
};

// The book copies (*.mdb) in the backup folder, newest first, each opened read-only and checked.
// Works with no book open.
std::vector<BackupCopy> ListBackupCopies(const QString& backupFolder);

// First copies the book in use beside itself (its name, ".before-restore-", the time), then
// replaces every row of the book by the copy's in one transaction. A server book, a copy that is
// not whole, and a book another program is writing to are refused, and the book stays as it
// was. Works with no book open. Done holds the path of the kept copy of the book.
Result<QString> RestoreBackupCopy(const QString& copy, const QString& book);
