#include "invoicefiles.h"

#include "paths.h"

#include <QDir>
#include <QFile>

namespace {
const QString BackupFolderName = QStringLiteral("backup");

QString fileName(const QString& invoiceNumber, const char* extension) {
    return QStringLiteral("Inv") + invoiceNumber + QLatin1String(extension);
}

QString backupFile(const QString& name) {
    return ProgramFile(BackupFolderName + QLatin1Char('/') + name);
}
} // namespace

QString InvoiceBackupPath(const QString& invoiceNumber) {
    return backupFile(fileName(invoiceNumber, ".xls"));
}

QString InvoicePdfPath(const QString& invoiceNumber) {
    return backupFile(fileName(invoiceNumber, ".pdf"));
}

bool HasBackupFolder() {
    return QDir(ProgramFile(BackupFolderName)).exists();
}

bool InvoiceBackupMissing(const QString& invoiceNumber) {
    return HasBackupFolder() && !QFile::exists(InvoiceBackupPath(invoiceNumber));
}

bool RemoveInvoiceBackup(const QString& invoiceNumber) {
    const QStringList names = {fileName(invoiceNumber, ".xls"), fileName(invoiceNumber, ".pdf")};
    QDir backup(ProgramFile(BackupFolderName));
    bool allRemoved = true;
    for (const QString& file : backup.entryList(QDir::Files | QDir::Hidden))
        if (names.contains(file, Qt::CaseInsensitive) && !backup.remove(file))
            allRemoved = false;
    return allRemoved;
}
