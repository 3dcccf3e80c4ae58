#pragma once

#include <QString>
#include <optional>
#include <vector>

// The installed printers are the CUPS destinations: device name = destination name, port =
// its device-uri. Every question to the scheduler is bounded: one that does not answer within
// a few seconds counts as no answer, and the window keeps painting meanwhile.

struct InstalledPrinter {
    QString name;
    QString port;
    bool stopped = false;  // the queue holds its jobs until someone starts it again
    bool accepting = true; // the queue takes new jobs

    // A job sent here waits in the queue instead of printing.
    bool HoldsJobs() const { return stopped || !accepting; }
};

// The printers in the system's order; no value when the scheduler did not answer in time.
std::optional<std::vector<InstalledPrinter>> InstalledPrinters();

// The printer deviceName means: the one of exactly that name; failing that, when the name has
// the length the print dialog's old 32-character field cuts names to, the first whose name
// begins with it. Null when neither exists: the chosen printer is gone.
const InstalledPrinter* FindPrinter(const std::vector<InstalledPrinter>& printers,
                                    const QString& deviceName);

// False also when the scheduler does not answer.
bool IsPrinterInstalled();

// The port of the printer FindPrinter picks, with deviceName made its full name; otherwise
// empty text, and deviceName is left alone.
QString GetPrinterPort(QString& deviceName);
