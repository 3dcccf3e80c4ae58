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

// The highest id of the jobs the destination's queue has had, done jobs included (0 when it
// never had one), to tell a job sent afterwards by. No value when the scheduler does not answer
// or knows no such queue.
std::optional<int> NewestJobId(const QString& destination);

// Waits up to a few seconds, window events running meanwhile, until the destination's queue
// holds a job newer than jobId; one that is done already counts. False when none came.
bool WaitForJobAfter(const QString& destination, int jobId);

// False also when the scheduler does not answer.
bool IsPrinterInstalled();

// The port of the printer FindPrinter picks, with deviceName made its full name; otherwise
// empty text, and deviceName is left alone.
QString GetPrinterPort(QString& deviceName);
