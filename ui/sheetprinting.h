#pragma once

#include <QString>

class QWidget;

enum class SheetPrint { Cancelled, Printed, Failed };

// Lets the user choose a printer and copies in the print dialog, then prints the named
// worksheet of the open workbook on that printer ("device on port"). The caller reports a
// failure; this only says what is particular to the printer: that the chosen one is gone
// (Failed), or that its queue is stopped and holds the job (Printed).
SheetPrint PrintOnChosenPrinter(QWidget* owner, const QString& sheetName, qint16 initialCopies);

// The pause after a successful print, so the spooler has the job before the office closes;
// window events keep flowing meanwhile.
void PauseAfterPrinting();
