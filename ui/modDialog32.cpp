#include "modDialog32.h"

#include <QPrintDialog>
#include <QPrinter>

PrinterChoice dlgShow_Printer(QWidget* owner, int copies) {
    return Prompts().printer(owner, copies);
}

PrinterChoice RunPrintDialog(QWidget* owner, int initialCopies) {
    QPrinter printer;
    printer.setCopyCount(initialCopies);
    QPrintDialog dialog(&printer, owner);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return {printer.printerName(), printer.copyCount()};
}
