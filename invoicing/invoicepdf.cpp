#include "invoicepdf.h"

#include "modExcel.h"

namespace {
const QString InvoiceSheetName = QStringLiteral("Sheet1");
}

bool ExportInvoicePdf(const QString& invoiceNumber) {
    if (xlsExport_WorksheetPdf(InvoiceSheetName, InvoicePdfPath(invoiceNumber)))
        return true;
    qWarning("The PDF of invoice %s could not be written; it will be made from the backup "
             "workbook when the invoice is emailed.",
             qPrintable(invoiceNumber));
    return false;
}

bool MakeInvoicePdfFromBackup(const QString& invoiceNumber) {
    if (xlsOpen_Workbook(InvoiceBackupPath(invoiceNumber)) != 0)
        return false;
    const bool exported = xlsExport_WorksheetPdf(InvoiceSheetName, InvoicePdfPath(invoiceNumber));
    CloseWithoutSaving();
    return exported;
}
