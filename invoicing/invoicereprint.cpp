#include "invoicereprint.h"

#include "bookaccess.h"
#include "formats.h"
#include "invoicefiles.h"
#include "invoicesheet.h"
#include "modCommand.h"
#include "prompts.h"
#include "reprintsource.h"
#include "settings.h"

InvoiceCells CellsForStored(const InvoiceReprint& reprint) {
    InvoiceCells cells;
    cells.takeAddresses(reprint.profile);
    cells.account = reprint.invoice.AccountNumber;
    cells.number = reprint.invoice.InvoiceNumber;
    cells.dateBilled = FormatShortDate(reprint.invoice.DateBilled);
    cells.dateDue = FormatShortDate(reprint.invoice.DateDue);
    cells.units = reprint.units;
    cells.charges = FormatMoney(reprint.charges);
    cells.previous = FormatMoney(reprint.previous);
    cells.billed = FormatMoney(reprint.billed);
    cells.payable = reprint.profile.PayableTo;
    cells.description = reprint.description;
    cells.guid = Settings().GUID;
    cells.lines = reprint.lines;
    cells.totals = TotalOfLines(reprint.lines);
    return cells;
}

void ReprintInvoice(QWidget* owner, const QString& invoiceNumber) {
    const auto reprint =
        ReadFromBook<InvoiceReprint>(owner, QStringLiteral("Error connecting to database!\n\n"),
                                     [&] { return ReadInvoiceReprint(invoiceNumber); });
    if (!reprint)
        return;
    if (!reprint->ok()) {
        ShowMessage(owner,
                    "Invoice " + invoiceNumber + " cannot be printed again.\n\n" + reprint->error(),
                    QMessageBox::Critical);
        return;
    }
    InvoiceSheet sheet(owner);
    if (sheet.print(CellsForStored(reprint->value())) == InvoicePrint::Printed)
        LogTransaction("Reprinted invoice# " + invoiceNumber);
    sheet.finish(InvoiceBackupMissing(invoiceNumber), invoiceNumber);
}
