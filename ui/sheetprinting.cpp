#include "sheetprinting.h"

#include "busypointer.h"
#include "modDialog32.h"
#include "modExcel.h"
#include "printers.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

namespace {
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
} // namespace

SheetPrint PrintOnChosenPrinter(QWidget* owner, const QString& sheetName, qint16 initialCopies) {
    // A scheduler that does not answer would freeze the print dialog too.
    if (!InstalledPrinters())
        return SheetPrint::Failed;
    OverridePointer arrow(Qt::ArrowCursor);
    PrinterChoice choice = dlgShow_Printer(owner, initialCopies);
    arrow.release();
    if (choice.deviceName.isEmpty())
        return SheetPrint::Cancelled;
    const auto printers = InstalledPrinters();
    if (!printers)
        return SheetPrint::Failed;
    const InstalledPrinter* printer = FindPrinter(*printers, choice.deviceName);
    if (!printer) {
        ShowMessage(owner,
                    "The printer \"" + choice.deviceName +
                        "\" is no longer installed on this system; nothing was sent to it.",
                    QMessageBox::Critical);
        return SheetPrint::Failed;
    }
    const QString name = printer->name;
    if (!xlsPrint_Worksheet(sheetName, choice.copies, name + " on " + printer->port))
        return SheetPrint::Failed;
    TellIfQueueHoldsJob(owner, name);
    return SheetPrint::Printed;
}

void PauseAfterPrinting() {
    QEventLoop pause;
    QTimer::singleShot(2000, &pause, &QEventLoop::quit);
    pause.exec(QEventLoop::ExcludeUserInputEvents);
}
