#pragma once

#include "invoicefiles.h"

#include <QString>

// Exports Sheet1 of the open invoice workbook as the invoice's PDF. A failure is only logged
// as a warning: the PDF is made again from the backup workbook when it is needed.
bool ExportInvoicePdf(const QString& invoiceNumber);

// Makes the invoice's PDF from its backup workbook, which is closed again unchanged. False
// when the workbook cannot be opened or the export fails.
bool MakeInvoicePdfFromBackup(const QString& invoiceNumber);
