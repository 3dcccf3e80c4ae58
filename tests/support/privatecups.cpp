#include "privatecups.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QThread>
#include <cstring>
#include <cups/cups.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
constexpr char pdfPrinterModel[] = "/usr/share/ppd/cupsfilters/Generic-PDF_Printer-PDF.ppd";
constexpr int startLimitMs = 20'000;
constexpr int jobLimitMs = 60'000;

void WriteFile(const QString& path, const QString& text) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(text.toUtf8());
}

// Run as root, the scheduler hands jobs to its filters as an unprivileged user; otherwise
// everything runs as us.
QString SchedulerAccount() {
    return ::geteuid() == 0 ? QStringLiteral("User lp\nGroup lp\n") : QString();
}

// The jobs of one queue: how many there are, how many are not done yet.
std::pair<int, int> JobCounts(const QString& queue) {
    cups_job_t* jobs = nullptr;
    const QByteArray name = queue.toUtf8();
    const int count =
        cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, name.constData(), 0, CUPS_WHICHJOBS_ALL);
    int pending = 0;
    for (int i = 0; i < count; ++i) {
        if (jobs[i].state < IPP_JSTATE_STOPPED)
            ++pending;
    }
    cupsFreeJobs(count, jobs);
    return {std::max(count, 0), pending};
}
} // namespace

PrivateCups::PrivateCups()
    : folder_(QDir::tempPath() + QStringLiteral("/pellory-cups-XXXXXX")),
      previousServer_(qgetenv("CUPS_SERVER")) {
    const QString cupsd =
        QStandardPaths::findExecutable(QStringLiteral("cupsd"), {QStringLiteral("/usr/sbin")});
    if (cupsd.isEmpty() || !QFile::exists(pdfPrinterModel)) {
        error_ = QStringLiteral("CUPS (cupsd, cups-filters) is not installed");
        return;
    }
    // The scheduler's own user must reach its files below this folder.
    QFile::setPermissions(folder_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                              QFile::ExeGroup | QFile::ExeOther);
    for (const char* sub : {"root/ppd", "spool", "cache", "state", "log", "tmp", "out"})
        QDir(folder_.path()).mkpath(QString::fromLatin1(sub));
    for (const char* shared : {"tmp", "out"})
        ::chmod(QFile::encodeName(Path(QString::fromLatin1(shared))).constData(), 01777);
    WriteConfiguration();

    qputenv("CUPS_SERVER", Path(QStringLiteral("cups.sock")).toUtf8());
    cupsSetServer(nullptr); // forget any server libcups settled on before
    scheduler_.setProgram(cupsd);
    scheduler_.setArguments({QStringLiteral("-f"), QStringLiteral("-c"),
                             Path(QStringLiteral("cupsd.conf")), QStringLiteral("-s"),
                             Path(QStringLiteral("cups-files.conf"))});
    scheduler_.setStandardOutputFile(Path(QStringLiteral("log/cupsd.out")));
    scheduler_.setStandardErrorFile(Path(QStringLiteral("log/cupsd.out")));
    scheduler_.start();
    if (!scheduler_.waitForStarted() || !WaitUntilListening())
        error_ = QStringLiteral("the private CUPS scheduler did not start; see ") +
                 Path(QStringLiteral("log"));
}

PrivateCups::~PrivateCups() {
    scheduler_.terminate();
    if (!scheduler_.waitForFinished(5000))
        scheduler_.kill();
    scheduler_.waitForFinished();
    if (previousServer_.isNull())
        qunsetenv("CUPS_SERVER");
    else
        qputenv("CUPS_SERVER", previousServer_);
    cupsSetServer(nullptr);
}

void PrivateCups::WriteConfiguration() const {
    WriteFile(Path(QStringLiteral("cups-files.conf")),
              QStringLiteral("ServerRoot %1\nRequestRoot %2\nCacheDir %3\nStateDir %4\n"
                             "TempDir %5\nErrorLog %6/error_log\nAccessLog %6/access_log\n"
                             "PageLog %6/page_log\nFileDevice Yes\n%7")
                  .arg(Path(QStringLiteral("root")), Path(QStringLiteral("spool")),
                       Path(QStringLiteral("cache")), Path(QStringLiteral("state")),
                       Path(QStringLiteral("tmp")), Path(QStringLiteral("log")),
                       SchedulerAccount()));
    // Only the local socket, no sharing, no browsing, and no questions asked of its clients.
    WriteFile(Path(QStringLiteral("cupsd.conf")),
              QStringLiteral("Listen %1\nLogLevel info\nBrowsing Off\nBrowseLocalProtocols none\n"
                             "WebInterface No\nDefaultAuthType None\n"
                             "<Policy default>\n<Limit All>\nOrder deny,allow\n</Limit>\n"
                             "</Policy>\n")
                  .arg(Path(QStringLiteral("cups.sock"))));
}

bool PrivateCups::WaitUntilListening() {
    const QDeadlineTimer deadline(startLimitMs);
    while (!deadline.hasExpired() && scheduler_.state() == QProcess::Running) {
        http_t* connection = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC,
                                          HTTP_ENCRYPTION_NEVER, 1, 1000, nullptr);
        if (connection) {
            httpClose(connection);
            return true;
        }
        QThread::msleep(50);
    }
    return false;
}

QString PrivateCups::Administer(const QString& program, const QStringList& arguments) {
    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(program, arguments);
    if (!tool.waitForFinished(startLimitMs))
        return program + QStringLiteral(" did not finish");
    if (tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0)
        return program + QStringLiteral(": ") + QString::fromLocal8Bit(tool.readAll());
    return {};
}

QString PrivateCups::AddQueue(const QString& name) {
    return Administer(QStringLiteral("lpadmin"),
                      {QStringLiteral("-p"), name, QStringLiteral("-E"), QStringLiteral("-v"),
                       QStringLiteral("file://") + OutputFile(name), QStringLiteral("-P"),
                       QString::fromLatin1(pdfPrinterModel)});
}

QString PrivateCups::RemoveQueue(const QString& name) {
    return Administer(QStringLiteral("lpadmin"), {QStringLiteral("-x"), name});
}

QString PrivateCups::StopQueue(const QString& name) {
    return Administer(QStringLiteral("cupsdisable"), {name});
}

QString PrivateCups::OutputFile(const QString& name) const {
    return Path(QStringLiteral("out/") + name + QStringLiteral(".pdf"));
}

int PrivateCups::FinishedJobs(const QString& name) {
    const QDeadlineTimer deadline(jobLimitMs);
    for (;;) {
        const auto [count, pending] = JobCounts(name);
        if (pending == 0)
            return count;
        if (deadline.hasExpired())
            return -1;
        QThread::msleep(100);
    }
}

int PrivateCups::Jobs(const QString& name) const {
    return JobCounts(name).first;
}

HungCups::HungCups() : previousServer_(qgetenv("CUPS_SERVER")) {
    const QByteArray path = QFile::encodeName(folder_.filePath(QStringLiteral("hung.sock")));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.constData(), sizeof(address.sun_path) - 1);
    socket_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
    // Connections wait in the backlog as accepted by the system; none is ever read.
    listening_ =
        socket_ >= 0 &&
        ::bind(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
        ::listen(socket_, 64) == 0;
    qputenv("CUPS_SERVER", path);
    cupsSetServer(nullptr);
}

HungCups::~HungCups() {
    if (socket_ >= 0)
        ::close(socket_);
    qputenv("CUPS_SERVER", previousServer_);
    cupsSetServer(nullptr);
}

QString StartPrintingRig(std::unique_ptr<PrivateCups>& cups, const QTemporaryDir& officeFolder,
                         const QString& queue) {
    cups = std::make_unique<PrivateCups>();
    qputenv("TMPDIR", officeFolder.path().toUtf8()); // the offices' profiles, not the scheduler
    if (!cups->Error().isEmpty())
        return cups->Error();
    return cups->AddQueue(queue);
}
