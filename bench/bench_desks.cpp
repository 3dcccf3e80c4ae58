// Desks sharing one book: saves stored per second by 1, 2, 4 and 8 desk processes on a book on a
// private PostgreSQL server and on a book file; how long a commit on one desk takes to reach
// another as a notification; and the main window's tree read of the large sample book on the
// server. Usage: bench_desks
#include "accounts.h"
#include "booksession.h"
#include "booktesting.h"
#include "columns.h"
#include "deskclock.h"
#include "samplebook.h"
#include "serveraddress.h"
#include "treerows.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTextStream>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

namespace {
constexpr int OperationsPerDesk = 100;
constexpr int Pings = 40;
constexpr int Runs = 3;
const QStringList Accounts{"D-1", "D-2", "D-3", "D-4", "D-5", "D-6", "D-7", "D-8"};

// Runs a program to its end; empty when it succeeded, otherwise what it said.
QString runProgram(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(300000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return program + QStringLiteral(": ") + QString::fromLocal8Bit(process.readAll()) +
               process.errorString();
    return QString();
}

// A private server in a folder of its own, stopped when the benchmark ends. Commits are made
// durable as on a real desk's server (the test suite's server skips that).
class PrivateServer {
  public:
    PrivateServer()
        : folder_(QStringLiteral("/tmp/pellory-bench-desks-%1")
                      .arg(QCoreApplication::applicationPid())) {
        error_ = runProgram(QStringLiteral(PELLORY_PRIVATEPG), {"start", folder_});
        if (error_.isEmpty())
            error_ = run(QStringLiteral("postgres"),
                         {"ALTER SYSTEM SET fsync = on", "ALTER SYSTEM SET synchronous_commit = on",
                          "ALTER SYSTEM SET full_page_writes = on", "SELECT pg_reload_conf()"});
        qputenv("PELLORY_TEST_SERVER", uri(QStringLiteral("postgres")).toUtf8());
    }
    ~PrivateServer() {
        const QString stopped = runProgram(QStringLiteral(PELLORY_PRIVATEPG), {"stop", folder_});
        if (!stopped.isEmpty())
            qWarning("%s", qPrintable(stopped));
    }
    const QString& error() const { return error_; }

    QString uri(const QString& database) const {
        return QStringLiteral("postgresql:///%1?host=%2&user=pellory").arg(database, folder_);
    }

  private:
    // Runs statements in a database of the server; empty when all ran.
    QString run(const QString& database, const QStringList& statements) const {
        QString error;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), "bench_setup");
            db.setHostName(folder_);
            db.setUserName(QStringLiteral("pellory"));
            db.setDatabaseName(database);
            if (!db.open())
                error = db.lastError().text();
            for (const QString& statement : statements) {
                QSqlQuery query(db);
                if (error.isEmpty() && !query.exec(statement))
                    error = statement + QStringLiteral(": ") + query.lastError().text();
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("bench_setup"));
        return error;
    }

    QString folder_;
    QString error_;
};

// A new book with the shared accounts, on the server or in a file.
std::unique_ptr<ProgramFolderFixture> newBook(const QByteArray& server) {
    if (server.isEmpty())
        qunsetenv("PELLORY_TEST_SERVER");
    else
        qputenv("PELLORY_TEST_SERVER", server);
    auto folder = std::make_unique<ProgramFolderFixture>();
    BookSession session(folder->database());
    for (const QString& account : Accounts) {
        ProfileRecord profile;
        profile.AccountNumber = account;
        profile.MasterAccount = MasterMarker;
        profile.PaymentAmount = 0.0;
        profile.UnitPrice = 0.0;
        if (!SaveAccount(profile, QString()))
            qFatal("cannot add the account %s", qPrintable(account));
    }
    return folder;
}

// Every desk's output, read as it finished.
struct DeskRun {
    int stored = 0;
    int failed = 0;
    QByteArray firstFailure;
    std::vector<qint64> storedAt; // epoch microseconds of each save, in order
};

void readDesk(QProcess& desk, DeskRun& run) {
    for (const QByteArray& line : desk.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> word = line.split(' ');
        if (word[0] == "invoice" || word[0] == "payment") {
            ++run.stored;
            run.storedAt.push_back(word.last().toLongLong());
        } else if (word[0] == "failed") {
            if (run.failed++ == 0)
                run.firstFailure = line;
        }
    }
}

// Saves per second of `desks` desks working at once on the book.
double throughput(const QString& book, int desks, DeskRun& run) {
    const qint64 start = QDateTime::currentMSecsSinceEpoch() + 1000;
    std::vector<std::unique_ptr<QProcess>> running;
    for (int desk = 1; desk <= desks; ++desk) {
        running.push_back(std::make_unique<QProcess>());
        running.back()->start(QStringLiteral(PELLORY_DESK_PROGRAM),
                              {book, QString::number(desk), QString::number(OperationsPerDesk),
                               Accounts.join(','), "--start-at", QString::number(start)});
    }
    for (auto& desk : running) {
        if (!desk->waitForFinished(600000) || desk->exitCode() != 0)
            qFatal("a desk failed: %s", desk->readAllStandardError().constData());
        readDesk(*desk, run);
    }
    const qint64 last = *std::max_element(run.storedAt.begin(), run.storedAt.end());
    return run.stored / (static_cast<double>(last - start * 1000) / 1e6);
}

void measureThroughput(const QByteArray& server) {
    out() << "\nSaves stored per second (" << OperationsPerDesk
          << " invoices or payments per desk, on " << Accounts.size() << " shared accounts)\n";
    out() << "desks | server book | file book\n";
    for (int desks : {1, 2, 4, 8}) {
        out() << desks;
        QByteArray failures;
        for (const QByteArray& kind : {server, QByteArray()}) {
            const auto book = newBook(kind);
            DeskRun run;
            const double rate = throughput(book->database(), desks, run);
            out() << " | " << qRound(rate) << "/s (" << run.failed << " retried)";
            failures += run.firstFailure.isEmpty() ? QByteArray() : "\n  " + run.firstFailure;
        }
        out() << failures << Qt::endl;
    }
}

// From a commit on a desk to the notification another connection to the book hears.
void measureNotification(const QByteArray& server) {
    const auto book = newBook(server);
    const ServerAddress address = ReadServerAddress(book->database()).address;
    std::vector<qint64> heard;
    {
        QSqlDatabase listener = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), "listener");
        listener.setHostName(address.host);
        listener.setUserName(address.user);
        listener.setDatabaseName(address.database);
        if (!listener.open() || !listener.driver()->subscribeToNotification("pellory_book"))
            qFatal("cannot listen: %s", qPrintable(listener.lastError().text()));
        QObject::connect(listener.driver(), &QSqlDriver::notification,
                         [&heard] { heard.push_back(epochMicroseconds()); });
        QProcess desk;
        QEventLoop loop;
        QObject::connect(&desk, &QProcess::finished, &loop, &QEventLoop::quit);
        desk.start(
            QStringLiteral(PELLORY_DESK_PROGRAM),
            {book->database(), "1", QString::number(Pings), Accounts.join(','), "--pause", "50"});
        loop.exec();
        QTimer::singleShot(500, &loop, &QEventLoop::quit); // the last one still on its way
        loop.exec();
        DeskRun run;
        readDesk(desk, run);
        if (run.storedAt.size() != heard.size())
            qFatal("%d saves but %d notifications", run.stored, static_cast<int>(heard.size()));
        std::vector<double> delays; // milliseconds
        for (std::size_t i = 0; i < heard.size(); ++i)
            delays.push_back(static_cast<double>(heard[i] - run.storedAt[i]) / 1000.0);
        std::sort(delays.begin(), delays.end());
        out() << "\nCommit to notification on another connection, " << delays.size()
              << " saves 50 ms apart: median " << delays[delays.size() / 2] << " ms, best "
              << delays.front() << " ms, worst " << delays.back()
              << " ms (from the desk's commit returning; below 0 when heard before)\n";
    }
    QSqlDatabase::removeDatabase(QStringLiteral("listener"));
}

// Copies the rows of a book file into the server book at uri, with plain bound inserts.
void copyRows(const QString& file, const QString& uri) {
    const ServerAddress address = ReadServerAddress(uri).address;
    {
        QSqlDatabase source = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "source");
        source.setDatabaseName(file);
        QSqlDatabase target = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), "target");
        target.setHostName(address.host);
        target.setUserName(address.user);
        target.setDatabaseName(address.database);
        if (!source.open() || !target.open() || !target.transaction())
            qFatal("cannot copy the book: %s %s", qPrintable(source.lastError().text()),
                   qPrintable(target.lastError().text()));
        for (const char* table : {"tbl_CustomerProfile", "tbl_Invoices", "tbl_Logs"}) {
            QSqlQuery rows(source);
            rows.setForwardOnly(true);
            if (!rows.exec(QStringLiteral("SELECT * FROM ") + table))
                qFatal("%s", qPrintable(rows.lastError().text()));
            const int columns = rows.record().count();
            QStringList marks(columns, QStringLiteral("?"));
            QSqlQuery insert(target);
            insert.prepare(
                QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(table, marks.join(',')));
            while (rows.next()) {
                for (int i = 0; i < columns; ++i)
                    insert.bindValue(i, rows.value(i));
                if (!insert.exec())
                    qFatal("%s", qPrintable(insert.lastError().text()));
            }
        }
        if (!target.commit())
            qFatal("%s", qPrintable(target.lastError().text()));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("source"));
    QSqlDatabase::removeDatabase(QStringLiteral("target"));
}

// The tree read, median of Runs, in milliseconds.
qint64 timeTreeRead(const QString& book, int& rows) {
    std::vector<qint64> times;
    for (int run = 0; run < Runs; ++run) {
        QElapsedTimer clock;
        clock.start();
        BookSession session(book, true);
        const auto accounts = ReadTreeAccounts();
        const auto invoices = ReadTreeInvoices();
        times.push_back(clock.elapsed());
        if (!accounts || !invoices)
            qFatal("%s%s", qPrintable(accounts.error()), qPrintable(invoices.error()));
        rows = static_cast<int>(invoices->size());
        for (const TreeMaster& master : *accounts)
            rows += 1 + static_cast<int>(master.linked.size());
    }
    std::sort(times.begin(), times.end());
    return times[Runs / 2];
}

void measureTreeRead(const QByteArray& server) {
    qputenv("PELLORY_TEST_SERVER", server);
    ProgramFolderFixture folder;
    const QString file = folder.file(QStringLiteral("large.mdb"));
    const SampleBookResult sample = WriteSampleBook(file, {3000, 50000, 20, 2});
    if (!sample.error.isEmpty())
        qFatal("%s", qPrintable(sample.error));
    QElapsedTimer clock;
    clock.start();
    copyRows(file, folder.database());
    out() << "\nLarge sample book (" << sample.accounts << " accounts, " << sample.invoices
          << " invoices) copied to the server in " << clock.elapsed() << " ms\n";
    int rows = 0;
    const qint64 onServer = timeTreeRead(folder.database(), rows);
    const qint64 onFile = timeTreeRead(file, rows);
    out() << "Tree read (accounts and invoices, " << rows << " rows), median of " << Runs
          << ": server " << onServer << " ms, file " << onFile << " ms\n";
}
} // namespace

int main(int argc, char** argv) {
    PrepareTestEnvironment(); // the benchmark never touches the user's own settings
    QCoreApplication app(argc, argv);
    PrivateServer server;
    if (!server.error().isEmpty()) {
        out() << "cannot start the private server: " << server.error() << Qt::endl;
        return 1;
    }
    const QByteArray serverUri = server.uri(QStringLiteral("postgres")).toUtf8();
    out() << "Desks benchmark, " << QThread::idealThreadCount() << " cores\n";
    measureThroughput(serverUri);
    measureNotification(serverUri);
    measureTreeRead(serverUri);
    return 0;
}
