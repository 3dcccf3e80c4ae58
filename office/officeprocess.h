#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// One headless LibreOffice of our own: a private profile in a temporary folder, a private pipe,
// and a process group of its own, so that ending it never touches anything else on the
// machine. It dies with the program, however the program ends.
class OfficeProcess {
  public:
    OfficeProcess();
    ~OfficeProcess();
    OfficeProcess(const OfficeProcess&) = delete;
    OfficeProcess& operator=(const OfficeProcess&) = delete;

    // False when the office program cannot be started.
    bool Start();
    bool IsRunning() const;
    // The UNO address the office accepts connections on.
    QString ConnectUrl() const;
    // Waits up to ms for the office to end by itself.
    bool WaitForExit(int ms);
    // Kills the office's whole process group and reaps it.
    void Kill();
    // The folder of the office's private profile.
    QString ProfileFolder() const { return folder_.path(); }

  private:
    void SeedProfile() const;
    bool Launch();

    QTemporaryDir folder_;
    QString pipeName_;
    QProcess process_;
    qint64 group_ = 0;
};
