#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A CUPS scheduler of the tests' own, as CUPS's own test suite runs one: its configuration,
// spool, cache, logs and printed output live in a temporary folder, it listens only on a
// local socket there, and CUPS_SERVER points this process and every program it starts at
// it, so nothing reaches the machine's own printers.
class PrivateCups {
  public:
    PrivateCups();
    ~PrivateCups();
    PrivateCups(const PrivateCups&) = delete;
    PrivateCups& operator=(const PrivateCups&) = delete;

    // Empty when the scheduler runs; otherwise what went wrong.
    QString Error() const { return error_; }

    // Adds an enabled queue whose jobs land as PDF in OutputFile(name). Empty text on
    // success, otherwise lpadmin's complaint.
    QString AddQueue(const QString& name);
    QString OutputFile(const QString& name) const;

    // Waits until every job of the queue is done; the number of jobs it ever had, or -1
    // when some job is still pending after the wait.
    int FinishedJobs(const QString& name);

  private:
    QString Path(const QString& name) const { return folder_.filePath(name); }
    void WriteConfiguration() const;
    bool WaitUntilListening();

    QTemporaryDir folder_;
    QProcess scheduler_;
    QString error_;
    QByteArray previousServer_;
};
