#pragma once

#include <QString>

class QWidget;

enum class SheetPrint { Cancelled, Printed, Failed };

// Lets the user choose a printer and copies in the print dialog, then prints the named
// worksheet of the open workbook on that printer ("device on port"). Shows no message.
SheetPrint PrintOnChosenPrinter(QWidget* owner, const QString& sheetName, qint16 initialCopies);

// The pause after a successful print, so the spooler has the job before the office closes;
// window events keep flowing meanwhile.
void PauseAfterPrinting();
