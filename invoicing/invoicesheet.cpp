#include "invoicesheet.h"

#include "busypointer.h"
#include "invoicepdf.h"
#include "modExcel.h"
#include "paths.h"
#include "prompts.h"
#include "records.h"
#include "settings.h"
#include "sheetprinting.h"

#include <QDir>
#include <QFile>

namespace {
constexpr int InvoiceSheetIndex = 0;

// Text stays text in the sheet: an apostrophe in front, an empty value writes it alone.
void writeText(int row, int column, const QString& text) {
    xlsSet_CellValue(InvoiceSheetIndex, row, column, QLatin1Char('\'') + text);
}

void fill(const InvoiceCells& c) {
    writeText(8, 10, c.account);
    writeText(57, 5, c.account);
    writeText(5, 10, c.number);
    writeText(57, 3, c.number);
    writeText(11, 10, c.dateBilled);
    writeText(22, 1, c.units);
    writeText(42, 1, c.units);
    writeText(22, 10, c.charges);
    writeText(42, 10, c.charges);
    writeText(26, 10, c.previous);
    writeText(46, 10, c.previous);
    writeText(29, 10, c.billed);
    writeText(49, 10, c.billed);
    writeText(32, 10, c.dateDue);
    writeText(52, 10, c.dateDue);
    writeText(34, 1, c.messages[0]);
    writeText(35, 1, c.messages[1]);
    writeText(49, 1, c.payable);
    writeText(22, 3, c.description);
    writeText(42, 3, c.description);
    writeText(13, 1, c.customerName);
    for (int line = 0; line < 4; ++line)
        writeText(14 + line, 1, c.billAddress[line]);
    for (int line = 0; line < 4; ++line)
        writeText(52 + line, 1, c.receivingAddress[line]);
    xlsSet_CellValue(InvoiceSheetIndex, 38, 10, c.guid);
    xlsSet_CellValue(InvoiceSheetIndex, 57, 10, c.guid);
}

// Copies through a scratch file beside the target, so a failed copy never leaves half a file.
bool replaceCopy(const QString& source, const QString& target) {
    const QString scratch = target + ".part";
    QFile::remove(scratch);
    if (!QFile::copy(source, scratch))
        return false;
    QFile::remove(target);
    if (QFile::rename(scratch, target))
        return true;
    QFile::remove(scratch);
    return false;
}

bool hasBackupFolder() {
    return QDir(ProgramFile(QStringLiteral("backup"))).exists();
}
} // namespace

void InvoiceCells::takeAddresses(const ProfileRecord& profile) {
    customerName = profile.CustomerName;
    billAddress = profile.BillAddress;
    receivingAddress = profile.RecievingAddress;
}

QString InvoiceBackupPath(const QString& invoiceNumber) {
    return ProgramFile(QStringLiteral("backup/Inv") + invoiceNumber + QStringLiteral(".xls"));
}

bool InvoiceBackupMissing(const QString& invoiceNumber) {
    return hasBackupFolder() && !QFile::exists(InvoiceBackupPath(invoiceNumber));
}

QString InvoiceStoredNote(const QString& invoiceNumber) {
    return "\n\nInvoice " + invoiceNumber +
           " is stored and the balance updated; do not create it again. To print it again, "
           "right-click the invoice in the main window and choose \"Reprint Invoice\".";
}

InvoicePrint InvoiceSheet::print(const InvoiceCells& cells) {
    BusyPointer busy;
    const qint32 opened = xlsOpen_Workbook(Settings().Worksheet);
    busy.release();
    if (opened != 0) {
        ShowMessage(owner_, "Error loading excel application and target workbook." + storedNote_,
                    QMessageBox::Critical);
        return printed_ = InvoicePrint::NotOpened;
    }
    fill(cells);
    filled_ = true;
    switch (PrintOnChosenPrinter(owner_, QStringLiteral("Sheet1"), Settings().Copies)) {
    case SheetPrint::Cancelled:
        return printed_ = InvoicePrint::Cancelled;
    case SheetPrint::Failed:
        ShowMessage(owner_, "Error printing excel worksheet [sheet1]" + storedNote_,
                    QMessageBox::Critical);
        return printed_ = InvoicePrint::Failed;
    case SheetPrint::Printed:
        break;
    }
    PauseAfterPrinting();
    return printed_ = InvoicePrint::Printed;
}

void InvoiceSheet::finish(bool save, const QString& invoiceNumber) {
    const bool copyDue = save && filled_ && hasBackupFolder();
    // The PDF comes from the sheet as printed, while the workbook is still open.
    const bool exported = copyDue && ExportInvoicePdf(invoiceNumber);
    // A save that failed leaves the previous invoice in the workbook: that is no copy of this one.
    const bool saved = xlsClose_Workbook(save);
    backedUp_ =
        copyDue && saved && replaceCopy(Settings().Worksheet, InvoiceBackupPath(invoiceNumber));
    // The PDF is kept only beside its backup workbook.
    if (exported && !backedUp_)
        QFile::remove(InvoicePdfPath(invoiceNumber));
    if (copyDue && !backedUp_)
        tellBackupMissing(invoiceNumber);
}

// After a failed print the user has been told already; the office that failed it rarely
// saves either.
void InvoiceSheet::tellBackupMissing(const QString& invoiceNumber) const {
    if (printed_ == InvoicePrint::Failed)
        return;
    const QString copy = "backup/Inv" + invoiceNumber + ".xls";
    const QString page = printed_ == InvoicePrint::Printed
                             ? QStringLiteral("The page was printed, but ")
                             : QStringLiteral("Nothing was printed, and ");
    ShowMessage(owner_, page + copy + " could not be written." + storedNote_, QMessageBox::Warning);
}
