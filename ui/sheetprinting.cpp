#include "sheetprinting.h"

#include "busypointer.h"
#include "modDialog32.h"
#include "modExcel.h"
#include "printers.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

SheetPrint PrintOnChosenPrinter(QWidget* owner, const QString& sheetName, qint16 initialCopies) {
    OverridePointer arrow(Qt::ArrowCursor);
    PrinterChoice choice = dlgShow_Printer(owner, initialCopies);
    arrow.release();
    if (choice.deviceName.isEmpty())
        return SheetPrint::Cancelled;
    const QString port = GetPrinterPort(choice.deviceName);
    const QString printer = choice.deviceName + " on " + port;
    return xlsPrint_Worksheet(sheetName, choice.copies, printer) ? SheetPrint::Printed
                                                                 : SheetPrint::Failed;
}

void PauseAfterPrinting() {
    QEventLoop pause;
    QTimer::singleShot(2000, &pause, &QEventLoop::quit);
    pause.exec(QEventLoop::ExcludeUserInputEvents);
}
