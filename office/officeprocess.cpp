#include "officeprocess.h"

#include "events.h"

#include <QDir>
#include <QFile>
#include <QUrl>
#include <QUuid>
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace {
// Settings of the private profile: no lock files left beside a workbook if the office is
// killed, and no macro runs even if a document asks for it.
constexpr char profileSettings[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<oor:items xmlns:oor="http://openoffice.org/2001/registry" xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
<item oor:path="/org.openoffice.Office.Common/Misc"><prop oor:name="UseLocking" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Office.Common/Security/Scripting"><prop oor:name="MacroSecurityLevel" oor:op="fuse"><value>3</value></prop></item>
<item oor:path="/org.openoffice.Office.Common/Security/Scripting"><prop oor:name="DisableMacrosExecution" oor:op="fuse"><value>true</value></prop></item>
</oor:items>
)";
constexpr int killLimitMs = 10'000;
constexpr int startLimitMs = 30'000;
// The office ends with this code after setting up a new profile, asking to be started again.
constexpr int restartExitCode = 81;

// Whether any process of the group is still running (a zombie is past running).
bool GroupHasLiveMembers(qint64 group) {
    const QDir proc(QStringLiteral("/proc"));
    for (const QString& entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(proc.filePath(entry + QStringLiteral("/stat")));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // pid (command) state ppid pgrp ...; the command may hold spaces and parentheses.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 2 && fields[0] != "Z" && fields[2].toLongLong() == group)
            return true;
    }
    return false;
}
} // namespace

OfficeProcess::OfficeProcess()
    : folder_(QDir::tempPath() + QStringLiteral("/pellory-office-XXXXXX")),
      pipeName_(QStringLiteral("pellory-") + QUuid::createUuid().toString(QUuid::Id128)) {
    // The office itself, not its launcher: the launcher's child would outlive a parent-death
    // signal. What the launcher sets up is set here instead.
    process_.setProgram(QStringLiteral(PELLORY_OFFICE_PROGRAM "/soffice.bin"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LO_SAVE_LC_ALL"),
                       environment.value(QStringLiteral("LC_ALL")));
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    environment.insert(QStringLiteral("SAL_ENABLE_FILE_LOCKING"), QStringLiteral("1"));
    process_.setProcessEnvironment(environment);
    process_.setStandardOutputFile(QProcess::nullDevice());
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // A group of its own, and killed with the thread that started it (the window's), however
    // the program ends.
    process_.setChildProcessModifier([] {
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    });
    QObject::connect(&process_, &QProcess::finished, [this](int code, QProcess::ExitStatus status) {
        if (status == QProcess::NormalExit && code == restartExitCode && group_ != 0)
            Launch();
    });
}

OfficeProcess::~OfficeProcess() {
    Kill();
}

void OfficeProcess::SeedProfile() const {
    QDir(folder_.path()).mkpath(QStringLiteral("user"));
    QFile settings(folder_.filePath(QStringLiteral("user/registrymodifications.xcu")));
    if (settings.open(QIODevice::WriteOnly))
        settings.write(profileSettings);
}

bool OfficeProcess::Start() {
    if (!folder_.isValid())
        return false;
    SeedProfile();
    process_.setArguments({
        QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(folder_.path()).toString(),
        QStringLiteral("--headless"),
        QStringLiteral("--invisible"),
        QStringLiteral("--nologo"),
        QStringLiteral("--nodefault"),
        QStringLiteral("--norestore"),
        QStringLiteral("--nolockcheck"),
        QStringLiteral("--accept=pipe,name=%1;urp;").arg(pipeName_),
    });
    return Launch();
}

bool OfficeProcess::Launch() {
    process_.start();
    // The window keeps painting while the office starts; the wait is bounded.
    WaitLettingEventsRun(startLimitMs, [this] {
        return process_.state() != QProcess::Starting || process_.waitForStarted(0);
    });
    if (process_.state() != QProcess::Running)
        return false;
    group_ = process_.processId();
    return true;
}

bool OfficeProcess::IsRunning() const {
    return process_.state() != QProcess::NotRunning;
}

QString OfficeProcess::ConnectUrl() const {
    return QStringLiteral("uno:pipe,name=%1;urp;StarOffice.ComponentContext").arg(pipeName_);
}

bool OfficeProcess::WaitForExit(int ms) {
    return WaitLettingEventsRun(ms, [this] { return !IsRunning() || process_.waitForFinished(0); });
}

void OfficeProcess::Kill() {
    if (group_ == 0)
        return;
    // The launcher and the office it spawns share the group; stragglers go with it.
    ::kill(static_cast<pid_t>(-group_), SIGKILL);
    WaitForExit(killLimitMs);
    // The office itself is not our child: wait until it is really gone.
    const qint64 group = group_;
    WaitLettingEventsRun(killLimitMs, [group] { return !GroupHasLiveMembers(group); });
    group_ = 0;
}
