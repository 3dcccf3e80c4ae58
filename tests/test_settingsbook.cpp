// What a settings save does to the book and its side files: compaction, backup copies, the
// book check, the unit-description rules and the log purge, on real files.
#include "books.h"
#include "booksession.h"
#include "booktesting.h"
#include "invoicelines.h"
#include "modDAO.h"
#include "restore.h"
#include "statements.h"
#include "testbook.h"
#include "upkeep.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QThread>
#include <cstdio>
#include <sys/file.h>

namespace {
const QString Filler = QString(400, 'x'); // rows big enough that compaction has work to do

// Appends invoices of one account in one transaction; false when any of it failed.
bool addInvoices(const QString& book, const QString& account, int count, int first = 0) {
    QString error;
    if (daoOpen_DBConnection(book, error) != 0 || daoBegin_Transaction(error) != 0) {
        daoClose_DBConnection();
        return false;
    }
    bool stored = true;
    for (int i = 0; i < count && stored; ++i) {
        RecordBuffer() = {account + QString::number(first + i), account, QVariant(), Filler};
        stored = daoWrite_DBTableRecord(QStringLiteral("tbl_Invoices"), error) == 0;
    }
    stored = stored ? daoCommit_Transaction(error) == 0 : (daoRollback_Transaction(), false);
    daoClose_DBConnection();
    return stored;
}

bool deleteInvoices(const QString& book, const QString& account) {
    QString error;
    const bool deleted =
        daoOpen_DBConnection(book, error) == 0 &&
        daoIssue_EXEStatement(QLatin1String(sql::DeleteInvoicesOfAccount), error, {account}) == 0;
    daoClose_DBConnection();
    return deleted;
}

// "ok" for a sound book, the engine's complaint otherwise.
QString integrityOf(const QString& book) {
    QString error;
    if (daoOpen_DBConnection(book, error) != 0)
        return error;
    const qint32 checked = daoGet_DBTableRecord(QStringLiteral("PRAGMA integrity_check"), error);
    const QString verdict = checked == 0 ? SharedRecordset().Fields(0).toString() : error;
    daoClose_DBConnection();
    return verdict;
}

int invoicesOf(const QString& book, const QString& account) {
    return CountRows(book, sql::SelectInvoicesOfAccount, {account});
}

// A second program with the book open in a transaction of its own.
class OtherProgram {
  public:
    OtherProgram(const QString& book, const char* begin) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), Name);
        db.setDatabaseName(book);
        QVERIFY(db.open());
        QSqlQuery query(db);
        QVERIFY(query.exec(QLatin1String(begin)));
        QVERIFY(query.exec(QStringLiteral("SELECT count(*) FROM tbl_Invoices")) && query.next());
    }
    ~OtherProgram() {
        {
            QSqlDatabase db = QSqlDatabase::database(Name);
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            db.close();
        }
        QSqlDatabase::removeDatabase(Name);
    }

  private:
    inline static const QString Name = QStringLiteral("other_program");
};

// The child process the kill test stops at random moments: it changes the book and saves, over
// and over, saying when each save starts.
int keepSaving(const QString& book, const QString& backupFolder) {
    for (int round = 0;; ++round) {
        if (!addInvoices(book, QStringLiteral("CHURN"), 300, round * 300) ||
            !deleteInvoices(book, QStringLiteral("CHURN")))
            return 1;
        std::fputs("upkeep\n", stdout);
        std::fflush(stdout);
        // Killed at any point of this; what it reports is not what the test looks at.
        (void)CompactAndBackUpBook(book, backupFolder);
    }
}
} // namespace

class SettingsBookTest : public QObject {
    Q_OBJECT
  private slots:
    void init() { folder = std::make_unique<ProgramFolderFixture>(); }
    void cleanup() { folder.reset(); }

    void anotherProgramHoldingTheBookMakesCompactionGiveWay() {
        if (OnServerBook())
            QSKIP("about the book's file and its copies; test_movebook covers a server book");
        const QString book = folder->database();
        const QString backup = folder->file("backup");
        const QString copy = backup + "/pellory.mdb";
        QVERIFY(addInvoices(book, "GONE", 200) && addInvoices(book, "KEEP", 3));
        QVERIFY(deleteInvoices(book, "GONE"));
        const qint64 size = QFileInfo(book).size();
        for (const char* begin : {"BEGIN", "BEGIN IMMEDIATE"}) {
            OtherProgram other(book, begin);
            const BookUpkeep upkeep = CompactAndBackUpBook(book, backup);
            QCOMPARE(upkeep.compaction, 5); // SQLITE_BUSY: skipped
            QCOMPARE(upkeep.backup, std::optional<qint32>(0));
            QCOMPARE(QFileInfo(book).size(), size);
            QCOMPARE(invoicesOf(copy, "KEEP"), 3);
        }
        QCOMPARE(integrityOf(book), QString("ok"));
        QString error;
        QCOMPARE(daoOpen_DBConnection(book, error), 0);
        QCOMPARE(CompactBookInPlace(book, error), -1); // never under our own open connection
        daoClose_DBConnection();
        // A writer committing keeps even the backup copy out; the previous copy stays whole.
        QVERIFY(addInvoices(book, "KEEP", 1, 3));
        {
            OtherProgram writer(book, "BEGIN EXCLUSIVE");
            QCOMPARE(CompactAndBackUpBook(book, backup).backup, std::optional<qint32>(5));
        }
        QCOMPARE(invoicesOf(copy, "KEEP"), 3);
        QCOMPARE(QDir(backup).entryList(QDir::Files | QDir::Hidden), QStringList("pellory.mdb"));
        QCOMPARE(CompactAndBackUpBook(book, backup).compaction, 0);
        QVERIFY(QFileInfo(book).size() < size / 2);
        QCOMPARE(invoicesOf(copy, "KEEP"), 4);
        QVERIFY(BackUpBook(copy, backup, error) != 0); // a book in the backup folder stays itself
    }

    void aBookWithoutOurTablesIsRefused() {
        const QString other = folder->file("other.mdb");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "other");
            db.setDatabaseName(other);
            QVERIFY(db.open() && QSqlQuery(db).exec("CREATE TABLE tbl_Logs (AccountNumber TEXT)"));
            db.close();
        }
        QSqlDatabase::removeDatabase("other");
        const QString refusal = NotAPelloryBook(other).value_or(QString());
        QVERIFY2(
            refusal.startsWith("The file " + other + " cannot be used as the Pellory database") &&
                refusal.contains("tbl_CustomerProfile, tbl_Invoices"),
            qPrintable(refusal));
        QVERIFY(NotAPelloryBook(folder->file("missing.mdb")));
        QVERIFY(!QFile::exists(folder->file("missing.mdb"))); // never created by looking
        QVERIFY(!NotAPelloryBook(folder->database()));
    }

    void aLogWhoseCopyFailsIsNotPurged() {
        const QString log = folder->file("pellory.log");
        QFile file(log);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("1/2/2026, Added account# 1\r\n"));
        file.close();
        QVERIFY(QDir().mkdir(folder->file("backup/pellory.log"))); // no file can go there
        QCOMPARE(PurgeTransactionLog(log, folder->file("backup")), PurgeOutcome::CopyFailed);
        QCOMPARE(QFileInfo(log).size(), qint64(28));
    }

    void theNextSaveRemovesOnlyWhatInterruptedSavesOfItsBookLeft() {
        if (OnServerBook())
            QSKIP("about the book's file and its copies; test_movebook covers a server book");
        const QString backup = folder->file("backup");
        const QStringList stale = {".pellory.mdb.AbC123", ".pellory.mdb.AbC123-journal",
                                   ".pellory.mdb.zzzzzz"};
        const QStringList others = {".pellory.mdb.Held01", // a save in progress in another program
                                    ".other.mdb.AbC123",   ".pellory.mdb.AbC1234",
                                    ".pellory.mdb.AbC12",  ".pellory.mdb.Ab-123",
                                    "pellory.mdb.AbC123",  ".pellory.mdbxAbC123",
                                    "Inv0000001.xls"};
        for (const QString& name : stale + others) {
            QFile file(backup + '/' + name);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("partial copy"));
        }
        QFile held(backup + "/.pellory.mdb.Held01");
        QVERIFY(held.open(QIODevice::ReadOnly) && ::flock(held.handle(), LOCK_EX) == 0);
        QString error;
        QCOMPARE(BackUpBook(folder->database(), backup, error), 0);
        QStringList expected = others + QStringList("pellory.mdb");
        expected.sort();
        QCOMPARE(QDir(backup).entryList(QDir::Files | QDir::Hidden, QDir::Name), expected);
    }

    void killedSaveNeverLeavesTheBookMissingOrUnreadable() {
        if (OnServerBook())
            QSKIP("about the book's file and its copies; test_movebook covers a server book");
        const QString book = folder->database();
        const QString backup = folder->file("backup");
        QVERIFY(addInvoices(book, "KEEP", 3000));
        for (int round = 0; round < 8; ++round) {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(), {"--keep-saving", book, backup});
            QVERIFY(child.waitForStarted());
            while (!child.canReadLine())
                QVERIFY2(child.waitForReadyRead(60000), child.readAllStandardError().constData());
            QThread::msleep(QRandomGenerator::global()->bounded(80));
            child.kill();
            QVERIFY(child.waitForFinished());

            QCOMPARE(integrityOf(book), QString("ok"));
            QCOMPARE(invoicesOf(book, "KEEP"), 3000);
            const QString copy = backup + "/pellory.mdb";
            if (QFile::exists(copy)) {
                QCOMPARE(integrityOf(copy), QString("ok"));
                QCOMPARE(invoicesOf(copy, "KEEP"), 3000);
            }
        }
        // What the killed saves left half written goes with the next save.
        QString error;
        QCOMPARE(BackUpBook(book, backup, error), 0);
        QCOMPARE(QDir(backup).entryList(QDir::Files | QDir::Hidden), QStringList("pellory.mdb"));
    }

    // A restore keeps the book in use beside itself, then takes the copy's rows in one go; a
    // damaged copy is listed as such and refused, and a book another program is writing to gives
    // the restore way. Either refusal leaves the book as it was.
    void restoreReplacesTheRowsOrNothing() {
        if (OnServerBook())
            QSKIP("a server book is restored with psql");
        const QString book = folder->database();
        const QString backup = folder->file("backup");
        QVERIFY(AddAccount(book, {.account = "A"}));
        const auto saveRate = [&](const QString& name) {
            const BookSession session(book);
            return SaveTaxRates({{name, 5.0}}).ok();
        };
        QVERIFY(saveRate("Old"));
        QVERIFY(QFile::copy(book, backup + "/old.mdb"));
        QVERIFY(AddAccount(book, {.account = "B"}));
        QVERIFY(saveRate("New"));
        QFile bad(backup + "/bad.mdb");
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write(QByteArray(8192, 'x'));
        bad.close();

        const std::vector<BackupCopy> copies = ListBackupCopies(backup);
        QCOMPARE(copies.size(), size_t(2));
        for (const BackupCopy& copy : copies) {
            const bool old = copy.path.endsWith("old.mdb");
            QCOMPARE(copy.damage.isEmpty(), old);
            QCOMPARE(copy.accounts, old ? 1 : 0);
        }
        QVERIFY(!RestoreBackupCopy(backup + "/bad.mdb", book));
        QCOMPARE(CountRows(book, sql::SelectAllProfiles), 2);

        {
            QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "writer");
            other.setDatabaseName(book);
            QVERIFY(other.open());
            QSqlQuery writing(other);
            QVERIFY(writing.exec("BEGIN IMMEDIATE"));
            const auto refused = RestoreBackupCopy(backup + "/old.mdb", book);
            QVERIFY(!refused);
            QVERIFY2(refused.error().startsWith("Nothing was restored"),
                     qPrintable(refused.error()));
            QVERIFY(writing.exec("ROLLBACK"));
            other.close();
        }
        QSqlDatabase::removeDatabase("writer");
        QCOMPARE(CountRows(book, sql::SelectAllProfiles), 2);

        const auto kept = RestoreBackupCopy(backup + "/old.mdb", book);
        QVERIFY2(kept, qPrintable(kept.error()));
        QCOMPARE(CountRows(book, sql::SelectAllProfiles), 1);
        QCOMPARE(CountRows(book, sql::SelectBalance, {"B"}), 0);
        QCOMPARE(CountRows(*kept, sql::SelectAllProfiles), 2);
        QCOMPARE(TestBook(book).rows(sql::SelectTaxRates).at(0).at(0).toString(), QString("Old"));
    }

  private:
    std::unique_ptr<ProgramFolderFixture> folder;
};

int main(int argc, char** argv) {
    if (argc == 4 && QByteArray(argv[1]) == "--keep-saving") {
        QCoreApplication app(argc, argv);
        return keepSaving(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    PrepareTestEnvironment();
    QCoreApplication app(argc, argv);
    SettingsBookTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_settingsbook.moc"
