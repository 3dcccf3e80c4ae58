#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <memory>

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
    // Takes the queue away, as an administrator would; empty text on success.
    QString RemoveQueue(const QString& name);
    // Stops the queue: it takes jobs but holds them (cupsdisable); empty text on success.
    QString StopQueue(const QString& name);

    // Waits until every job of the queue is done; the number of jobs it ever had, or -1
    // when some job is still pending after the wait.
    int FinishedJobs(const QString& name);
    // The number of jobs the queue ever had, done or not, without waiting.
    int Jobs(const QString& name) const;

  private:
    QString Path(const QString& name) const { return folder_.filePath(name); }
    void WriteConfiguration() const;
    bool WaitUntilListening();
    static QString Administer(const QString& program, const QStringList& arguments);

    QTemporaryDir folder_;
    QProcess scheduler_;
    QString error_;
    QByteArray previousServer_;
};

// What a printing suite starts from: a private scheduler with one queue in cups, and the
// offices' profiles sent under officeFolder, so the suite can tell its own offices apart. Empty
// text when ready, otherwise what went wrong.
QString StartPrintingRig(std::unique_ptr<PrivateCups>& cups, const QTemporaryDir& officeFolder,
                         const QString& queue);

// A print scheduler that takes connections and never answers, standing in for a hung one for
// this process and the programs it starts while it lives.
class HungCups {
  public:
    HungCups();
    ~HungCups();
    HungCups(const HungCups&) = delete;
    HungCups& operator=(const HungCups&) = delete;

    bool Listening() const { return listening_; }

  private:
    QTemporaryDir folder_;
    int socket_ = -1;
    bool listening_ = false;
    QByteArray previousServer_;
};
