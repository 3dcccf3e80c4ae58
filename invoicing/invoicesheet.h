#pragma once

#include "invoiceplan.h"
#include "sheetprinting.h"

#include <QString>
#include <utility>

class QWidget;

enum class InvoicePrint { NotOpened, Cancelled, Printed, Failed };

// The invoice workbook for one invoice: opened and filled by print(), closed by finish().
class InvoiceSheet {
  public:
    // storedNote closes every failure message: what the book already holds whatever happens
    // to the page (empty when it holds nothing of this print).
    explicit InvoiceSheet(QWidget* owner, QString storedNote = {})
        : owner_(owner), storedNote_(std::move(storedNote)) {}

    // Opens the workbook of the Worksheet setting, or the lines form when the invoice needs its
    // lines, fills Sheet1, lets the user choose the printer and prints. Shows its own failure
    // messages.
    InvoicePrint print(const InvoiceCells& cells);
    // The same on a printer chosen before, for printing several invoices after one choice.
    InvoicePrint printOn(const InvoiceCells& cells, const ChosenPrinter& printer);

    // Closes the workbook, saving it when asked (the lines form is never saved: its copy is); a
    // sheet filled for this invoice and saved is
    // copied to backup/Inv<number>.xls when the backup folder exists, with the sheet as a PDF
    // beside it (backup/Inv<number>.pdf) unless the export fails. Says so when that copy could
    // not be written.
    void finish(bool save, const QString& invoiceNumber);

    bool filled() const { return filled_; }
    // finish() wrote the backup copy of this invoice.
    bool backedUp() const { return backedUp_; }

  private:
    // Opens and fills the form; false, having said so, when it cannot.
    bool openAndFill(const InvoiceCells& cells);
    InvoicePrint printed(SheetPrint outcome);
    void tellBackupMissing(const QString& invoiceNumber) const;

    QWidget* owner_;
    QString storedNote_;
    bool linesForm_ = false;
    bool filled_ = false;
    InvoicePrint printed_ = InvoicePrint::NotOpened;
    bool backedUp_ = false;
};

// The form of an invoice with several lines or with tax, in the program folder.
QString InvoiceLinesWorkbookPath();

// What a failure message adds after "Print / Save" stored the invoice: it is in the book, and
// how to print it again.
QString InvoiceStoredNote(const QString& invoiceNumber);
