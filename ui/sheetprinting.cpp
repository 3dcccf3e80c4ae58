#include "sheetprinting.h"

#include "busypointer.h"
#include "modDialog32.h"
#include "modExcel.h"
#include "printers.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

void TellIfQueueHoldsJob(QWidget* owner, const QString& printerName) {
    const auto printers = InstalledPrinters();
    const InstalledPrinter* printer = printers ? FindPrinter(*printers, printerName) : nullptr;
    if (!printer || !printer->HoldsJobs())
        return;
    const QString why =
        printer->stopped ? QStringLiteral("is stopped") : QStringLiteral("is not accepting jobs");
    ShowMessage(owner,
                "The page was sent to the printer \"" + printerName + "\", but its queue " + why +
                    ". The job is waiting in that printer's queue and prints once the printer is "
                    "started again.",
                QMessageBox::Warning);
}

PrinterPick ChoosePrinter(QWidget* owner, qint16 initialCopies, ChosenPrinter& chosen) {
    // A scheduler that does not answer would freeze the print dialog too.
    if (!InstalledPrinters())
        return PrinterPick::Unavailable;
    OverridePointer arrow(Qt::ArrowCursor);
    const PrinterChoice choice = dlgShow_Printer(owner, initialCopies);
    if (choice.deviceName.isEmpty())
        return PrinterPick::Cancelled;
    chosen = {choice.deviceName, choice.copies};
    return PrinterPick::Chosen;
}

SheetPrint PrintOnPrinter(QWidget* owner, const QString& sheetName, const ChosenPrinter& chosen) {
    const auto printers = InstalledPrinters();
    if (!printers)
        return SheetPrint::Failed;
    const InstalledPrinter* printer = FindPrinter(*printers, chosen.deviceName);
    if (!printer) {
        ShowMessage(owner,
                    "The printer \"" + chosen.deviceName +
                        "\" is no longer installed on this system; nothing was sent to it.",
                    QMessageBox::Critical);
        return SheetPrint::Failed;
    }
    switch (xlsPrint_Worksheet(sheetName, chosen.copies, printer->name + " on " + printer->port)) {
    case XlsPrint::Queued:
        return SheetPrint::Printed;
    case XlsPrint::NotQueued:
        ShowMessage(owner,
                    "The page did not reach the queue of the printer \"" + printer->name +
                        "\": the office printed it, but no print job appeared in that queue.",
                    QMessageBox::Critical);
        return SheetPrint::Failed;
    case XlsPrint::Failed:
        break;
    }
    return SheetPrint::Failed;
}

SheetPrint PrintOnChosenPrinter(QWidget* owner, const QString& sheetName, qint16 initialCopies) {
    ChosenPrinter chosen;
    switch (ChoosePrinter(owner, initialCopies, chosen)) {
    case PrinterPick::Chosen:
        break;
    case PrinterPick::Cancelled:
        return SheetPrint::Cancelled;
    case PrinterPick::Unavailable:
        return SheetPrint::Failed;
    }
    const SheetPrint printed = PrintOnPrinter(owner, sheetName, chosen);
    if (printed == SheetPrint::Printed)
        TellIfQueueHoldsJob(owner, chosen.deviceName);
    return printed;
}

void PauseAfterPrinting() {
    QEventLoop pause;
    QTimer::singleShot(2000, &pause, &QEventLoop::quit);
    pause.exec(QEventLoop::ExcludeUserInputEvents);
}
