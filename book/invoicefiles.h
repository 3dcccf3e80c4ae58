#pragma once

#include <QString>

// The files an invoice leaves in the backup folder of the program folder: its filled workbook
// and, beside it, the invoice as printed in PDF. Named here and nowhere else.

QString InvoiceBackupPath(const QString& invoiceNumber); // backup/Inv<number>.xls
QString InvoicePdfPath(const QString& invoiceNumber);    // backup/Inv<number>.pdf

bool HasBackupFolder();
// There is a backup folder, but no copy of this invoice in it.
bool InvoiceBackupMissing(const QString& invoiceNumber);

// Removes the invoice's backup workbook and its PDF, whatever the letter case of their names;
// other files stay. False when one is still there.
bool RemoveInvoiceBackup(const QString& invoiceNumber);
