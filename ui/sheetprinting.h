#pragma once

#include <QString>

class QWidget;

enum class SheetPrint { Cancelled, Printed, Failed };

// Lets the user choose a printer and copies in the print dialog, then prints the named
// worksheet of the open workbook on that printer ("device on port"). The caller reports a
// failure; this only says what is particular to the printer: that the chosen one is gone or
// the job never reached its queue (Failed), or that its queue is stopped and holds the job
// (Printed).
SheetPrint PrintOnChosenPrinter(QWidget* owner, const QString& sheetName, qint16 initialCopies);

// A printer chosen in the print dialog, for printing several worksheets after one choice.
struct ChosenPrinter {
    QString deviceName;
    int copies = 0;
};

// What came of showing the print dialog.
enum class PrinterPick {
    Chosen,      // a printer and copies were chosen
    Cancelled,   // the dialog was cancelled
    Unavailable, // the printers cannot be listed, so no dialog was shown
};

// Shows the print dialog once; chosen is set only when a printer was.
[[nodiscard]] PrinterPick ChoosePrinter(QWidget* owner, qint16 initialCopies,
                                        ChosenPrinter& chosen);

// Prints the named worksheet on a printer chosen before; Printed once the printer's queue holds
// the job. Failed, saying so, when that printer is gone or the job never reached its queue;
// tells nothing about a queue that holds the job (see TellIfQueueHoldsJob).
SheetPrint PrintOnPrinter(QWidget* owner, const QString& sheetName, const ChosenPrinter& chosen);

// Tells the user when the printer's queue is stopped or refuses jobs and so holds the job.
void TellIfQueueHoldsJob(QWidget* owner, const QString& printerName);

// The pause after a successful print, so the spooler has the job before the office closes;
// window events keep flowing meanwhile.
void PauseAfterPrinting();
