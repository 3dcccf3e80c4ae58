#include "invoicesheet.h"

#include "busypointer.h"
#include "filewrites.h"
#include "invoicefiles.h"
#include "invoicepdf.h"
#include "modExcel.h"
#include "paths.h"
#include "prompts.h"
#include "settings.h"
#include "sheetprinting.h"

#include <QFile>
#include <QFileInfo>

namespace {
// False at the first block the office did not take.
bool write(const std::vector<SheetTexts>& plan) {
    for (const SheetTexts& texts : plan)
        if (!xlsSet_CellValues(InvoiceSheetIndex, texts.row, texts.column, texts.texts))
            return false;
    return true;
}

bool fillLines(const InvoiceCells& cells) {
    const InvoiceLinesPlan plan = PlanInvoiceLinesSheet(cells);
    if (!write(plan.texts))
        return false;
    for (const auto& [row, column] : plan.bold)
        if (!xlsSet_CellFont(InvoiceSheetIndex, row, column))
            return false;
    for (const auto& [row, column] : plan.bordered)
        if (!xlsSet_CellStyle(InvoiceSheetIndex, row, column))
            return false;
    return xlsKeep_RowsTogether(InvoiceSheetIndex, plan.stubFirstRow, plan.stubLastRow);
}
} // namespace

QString InvoiceLinesWorkbookPath() {
    return ProgramFile(QStringLiteral("pellorylines.xls"));
}

QString InvoiceStoredNote(const QString& invoiceNumber) {
    return "\n\nInvoice " + invoiceNumber +
           " is stored and the balance updated; do not create it again. To print it again, "
           "right-click the invoice in the main window and choose \"Reprint Invoice\".";
}

bool InvoiceSheet::openAndFill(const InvoiceCells& cells) {
    linesForm_ = NeedsLines(cells.lines);
    BusyPointer busy;
    const qint32 opened =
        xlsOpen_Workbook(linesForm_ ? InvoiceLinesWorkbookPath() : Settings().Worksheet);
    busy.release();
    if (opened != 0) {
        ShowMessage(owner_, "Error loading excel application and target workbook." + storedNote_,
                    QMessageBox::Critical);
        printed_ = InvoicePrint::NotOpened;
        return false;
    }
    if (!(linesForm_ ? fillLines(cells) : write(PlanInvoiceSheet(cells)))) {
        // A form half filled must not go out as an invoice.
        ShowMessage(owner_,
                    "Error writing the invoice into excel worksheet [sheet1]; nothing was "
                    "printed." +
                        storedNote_,
                    QMessageBox::Critical);
        printed_ = InvoicePrint::Failed;
        return false;
    }
    filled_ = true;
    return true;
}

InvoicePrint InvoiceSheet::printed(SheetPrint outcome) {
    switch (outcome) {
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

InvoicePrint InvoiceSheet::print(const InvoiceCells& cells) {
    if (!openAndFill(cells))
        return printed_;
    return printed(PrintOnChosenPrinter(owner_, QStringLiteral("Sheet1"), Settings().Copies));
}

InvoicePrint InvoiceSheet::printOn(const InvoiceCells& cells, const ChosenPrinter& printer) {
    if (!openAndFill(cells))
        return printed_;
    return printed(PrintOnPrinter(owner_, QStringLiteral("Sheet1"), printer));
}

void InvoiceSheet::finish(bool save, const QString& invoiceNumber) {
    const bool copyDue = save && filled_ && HasBackupFolder();
    // The PDF comes from the sheet as printed, while the workbook is still open.
    const bool exported = copyDue && ExportInvoicePdf(invoiceNumber);
    if (linesForm_) {
        // The lines form stays blank: the filled invoice is saved only as its backup copy.
        backedUp_ = copyDue && xlsSave_WorkbookCopy(InvoiceBackupPath(invoiceNumber));
        CloseWithoutSaving();
    } else {
        // A save that failed leaves the previous invoice in the workbook: that is no copy of
        // this one.
        const bool saved = xlsClose_Workbook(save && filled_);
        backedUp_ =
            copyDue && saved && CopyWhole(Settings().Worksheet, InvoiceBackupPath(invoiceNumber));
    }
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
    const QString copy = "backup/" + QFileInfo(InvoiceBackupPath(invoiceNumber)).fileName();
    const QString page = printed_ == InvoicePrint::Printed
                             ? QStringLiteral("The page was printed, but ")
                             : QStringLiteral("Nothing was printed, and ");
    ShowMessage(owner_, page + copy + " could not be written." + storedNote_, QMessageBox::Warning);
}
