// The data layer against real database files.
#include "booktesting.h"
#include "columns.h"
#include "modDAO.h"
#include "serveraddress.h"
#include "statements.h"
#include "upkeep.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>

namespace {
QString error;

QByteArray digest(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// In lower case, as a server keeps them.
QStringList columnsOf(const QString& table) {
    QStringList names;
    if (daoGet_DBTableRecord(QLatin1String(sql::TableColumns), error,
                             {OnServerBook() ? table.toLower() : table}))
        return names;
    for (SharedRecordset().MoveFirst(); !SharedRecordset().EndOfFile();
         SharedRecordset().MoveNext())
        names << SharedRecordset().Fields(0).toString().toLower();
    return names;
}

QStringList lowered(const QStringList& names) {
    QStringList lower;
    for (const QString& name : names)
        lower << name.toLower();
    return lower;
}

// Cases about the file itself: its pages, copies of it, its name.
#define FILE_BOOKS_ONLY()                                                                          \
    if (OnServerBook())                                                                            \
        QSKIP("a case about book files");

int countRows(const char* statement, const QVariantList& values) {
    if (daoGet_DBTableRecord(statement, error, values))
        return -1;
    return SharedRecordset().RecordCount();
}

qint32 appendBalance(const QVariantList& values) {
    RecordBuffer() = values;
    return daoWrite_DBTableRecord(tables::Logs, error);
}

// A database another program made, holding the tables it was given.
void writeForeignDatabase(const QString& path, const QStringList& tableNames) {
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "foreign");
        db.setDatabaseName(path);
        QVERIFY(db.open());
        for (const QString& table : tableNames)
            QVERIFY(QSqlQuery(db).exec("CREATE TABLE " + table + " (Id INTEGER, Note TEXT)"));
        db.close();
    }
    QSqlDatabase::removeDatabase("foreign");
}
} // namespace

class DaoTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        folder = std::make_unique<ProgramFolderFixture>();
        QCOMPARE(daoOpen_DBConnection(folder->database(), error), 0);
        QCOMPARE(ConnectedPath(), folder->database());
    }
    void cleanup() {
        daoClose_DBConnection();
        folder.reset();
    }

    void blankDatabaseHasTheTablesInColumnOrder() {
        const QStringList profile = columnsOf(tables::CustomerProfile);
        QCOMPARE(profile.size(), int(col::ProfileColumnCount));
        QCOMPARE(profile.first(), QString("accountnumber"));
        QCOMPARE(profile[col::MasterAccount], QString("masteraccount"));
        QCOMPARE(profile[col::BillCycle], QString("billcycle"));
        QCOMPARE(profile[col::MonthDay], QString("monthday"));
        QCOMPARE(profile[col::RecievingAddress4], QString("recievingaddress4"));
        QCOMPARE(columnsOf(tables::Invoices),
                 lowered({"InvoiceNumber", "AccountNumber", "DateBilled", "CheckNumber", "DateDue",
                          "DateRecieved", "PastDue", "AmountBilled", "AmountRecieved"}));
        QCOMPARE(columnsOf(tables::Logs),
                 lowered({"AccountNumber", "Balance", "LastUnitDescription", "DateCreated",
                          "DateLastUpdated"}));
    }

    void openRefusesWhatIsNotABook() {
        FILE_BOOKS_ONLY();
        daoClose_DBConnection();
        const QString missing = folder->file("missing.mdb");
        QVERIFY(daoOpen_DBConnection(missing, error) != 0);
        QVERIFY2(error.startsWith("Open connection to " + missing + " failed, Error = 14 : "),
                 qPrintable(error));
        QVERIFY(!QFile::exists(missing)); // never a new empty database
        QCOMPARE(ConnectedPath(), QString());

        QFile text(folder->file("notes.mdb"));
        text.open(QIODevice::WriteOnly);
        text.write(QByteArray(4096, 'x'));
        text.close();
        QCOMPARE(daoOpen_DBConnection(text.fileName(), error), 26);
        QVERIFY2(error.contains("Error = 26 : "), qPrintable(error));

        QFile jet(folder->file("old.mdb"));
        jet.open(QIODevice::WriteOnly);
        jet.write(QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20) + QByteArray(2000, '\0'));
        jet.close();
        QCOMPARE(daoOpen_DBConnection(jet.fileName(), error), 26);
        QVERIFY2(error.contains("Access/Jet"), qPrintable(error));

        // Everything after a failed open is refused by connection state.
        QCOMPARE(daoGet_DBTableRecord(sql::SelectAllProfiles, error), -1);
        QCOMPARE(error, QString("daoGet_DBTableRecord2(): Database connection not opened"));
        QCOMPARE(daoIssue_EXEStatement(sql::DeleteProfile, error, {"A"}), -1);
        QCOMPARE(error, QString("daoIssue_EXEStatement(): Database connection not opened"));
        QCOMPARE(appendBalance({"A"}), -1);
        QCOMPARE(error, QString("daoWrite_DBTableRecord(): Database connection not opened"));
    }

    void openProvesTheFileIsAPelloryBook() {
        FILE_BOOKS_ONLY();
        daoClose_DBConnection();
        const QString empty = folder->file("empty.mdb");
        QFile(empty).open(QIODevice::WriteOnly);
        QCOMPARE(daoOpen_DBConnection(empty, error), 1);
        QCOMPARE(error, "Open connection to " + empty +
                            " failed, Error = 1 : no such table: tbl_CustomerProfile, "
                            "tbl_Invoices, tbl_Logs (the file is not a Pellory book)");
        QCOMPARE(QFileInfo(empty).size(), 0); // left as it was

        const QString foreign = folder->file("notes.db");
        writeForeignDatabase(foreign, {"notes", "tbl_Invoices"});
        QCOMPARE(daoOpen_DBConnection(foreign, error), 1);
        QVERIFY2(error.endsWith(" : no such table: tbl_CustomerProfile, tbl_Logs (the file is "
                                "not a Pellory book)"),
                 qPrintable(error));
        QCOMPARE(ConnectedPath(), QString());
        QString copy = folder->file("foreign-copy.mdb");
        QCOMPARE(daoCompact_DB(foreign, copy, error), 1);
        QVERIFY(!QFile::exists(copy));
    }

    // A disk that failed in the middle of the book: what can be read is read, the first
    // corruption the engine meets has the book checked, and nothing is written to it again.
    void aDamagedBookIsNeverWrittenAgain() {
        FILE_BOOKS_ONLY();
        QCOMPARE(daoBegin_Transaction(error), 0);
        for (int i = 1; i <= 3000; ++i) {
            RecordBuffer() = {QString::number(i).rightJustified(7, '0'),
                              "A1",
                              QDate(2026, 3, 5),
                              QVariant(),
                              QDate(2026, 3, 20),
                              QVariant(),
                              0.0,
                              110.5,
                              0.0};
            QCOMPARE(daoWrite_DBTableRecord(tables::Invoices, error), 0);
        }
        QCOMPARE(daoCommit_Transaction(error), 0);
        daoClose_DBConnection();
        QVERIFY(DamageMiddlePages(folder->database()));
        const QByteArray damaged = digest(folder->database());

        QCOMPARE(daoOpen_DBConnection(folder->database(), error), 0);
        QCOMPARE(appendBalance({"A1", 1.0}), 0); // not yet known: the untouched table takes it
        QCOMPARE(daoGet_DBTableRecord(sql::SelectAllInvoices, error), 11);
        QVERIFY2(error.startsWith("daoGet_DBTableRecord2(), Error = 11 : "), qPrintable(error));
        const QString notice = "The book " + folder->database() + " is damaged (integrity check: ";
        const QString restore =
            "Pellory writes nothing more to it. Close Pellory and restore the copy " +
            folder->file("backup/pellory.mdb") + ".";
        QVERIFY2(error.contains(notice) && error.endsWith(restore), qPrintable(error));
        QCOMPARE(SharedRecordset().RecordCount(), 0);
        const QByteArray known = digest(folder->database());

        QCOMPARE(appendBalance({"B1", 1.0}), 11);
        QVERIFY2(error.startsWith("daoWrite_DBTableRecord(), Error = 11 : " + notice),
                 qPrintable(error));
        QCOMPARE(daoIssue_EXEStatement(sql::DeleteBalance, error, {"A1"}), 11);
        daoClose_DBConnection();
        // For the rest of the run, whichever connection asks.
        QCOMPARE(daoOpen_DBConnection(folder->database(), error), 0);
        QCOMPARE(daoBegin_Transaction(error), 11);
        QVERIFY2(error.endsWith(restore), qPrintable(error));
        QCOMPARE(countRows(sql::SelectBalance, {"A1"}), 1);
        QCOMPARE(digest(folder->database()), known);
        QVERIFY(known != damaged); // only the write made before the damage was known

        // The copy in backup/ is what the user restores: a settings save keeps it and the book.
        daoClose_DBConnection();
        QFile copy(folder->file("backup/pellory.mdb"));
        QVERIFY(copy.open(QIODevice::WriteOnly) && copy.write("the last good copy") > 0);
        copy.close();
        const BookUpkeep upkeep = CompactAndBackUpBook(folder->database(), folder->file("backup"));
        QVERIFY(upkeep.compaction != 0 && !upkeep.backup);
        QCOMPARE(digest(copy.fileName()),
                 QCryptographicHash::hash("the last good copy", QCryptographicHash::Sha256));
        QCOMPARE(digest(folder->database()), known);
    }

    void engineErrorsKeepTheirShape() {
        const QString missing =
            OnServerBook() ? "relation \"nope\" does not exist" : "no such table: nope";
        QCOMPARE(daoGet_DBTableRecord("SELECT * FROM nope", error), 1);
        QCOMPARE(error, "daoGet_DBTableRecord2(), Error = 1 : " + missing);
        QCOMPARE(daoIssue_EXEStatement("DELETE FROM nope", error), 1);
        QCOMPARE(error, "daoIssue_EXEStatement(), Error = 1 : " + missing);
        RecordBuffer() = {"A"};
        QCOMPARE(daoWrite_DBTableRecord("nope", error), 1);
        QCOMPARE(error, QString("daoWrite_DBTableRecord(), Error = 1 : no such table: nope"));
    }

    void builtStatementSelectsByKey() {
        QCOMPARE(appendBalance({"A1", 10.0, "", QDate(2026, 1, 2), QDate(2026, 1, 2)}), 0);
        QCOMPARE(appendBalance({"5", 20.0, "", QVariant(), QVariant()}), 0);
        QString statement;
        QCOMPARE(daoGet_DBTableRecord2(tables::Logs, error, "*", "AccountNumber", QVariant("A1"),
                                       statement),
                 0);
        QCOMPARE(statement, OnServerBook()
                                ? QString("SELECT \"tbl_logs\".* FROM \"tbl_logs\" WHERE "
                                          "(\"tbl_logs\".\"accountnumber\"=?)")
                                : QString("SELECT [tbl_Logs].* FROM [tbl_Logs] WHERE "
                                          "([tbl_Logs].[AccountNumber]=?)"));
        QVERIFY(SharedRecordset().MoveFirst());
        QCOMPARE(SharedRecordset().Fields(col::Balance), QVariant(10.0));
        QCOMPARE(SharedRecordset().Fields(col::DateCreated), QVariant("2026-01-02"));
        SharedRecordset().MoveNext();
        QVERIFY(SharedRecordset().EndOfFile());

        statement.clear();
        QCOMPARE(daoGet_DBTableRecord2(tables::Logs, error, "Balance", "", std::nullopt, statement),
                 0);
        QCOMPARE(SharedRecordset().RecordCount(), 2);

        if (OnServerBook())
            return; // a quoted name holds any character
        statement.clear();
        QVERIFY(daoGet_DBTableRecord2("tbl]Logs", error, "*", "", std::nullopt, statement) != 0);
        QCOMPARE(SharedRecordset().RecordCount(), 0);
    }

    void hostileAccountNumbersStayValues() {
        const QStringList hostile = {"A\"1", "x\" OR \"1\"=\"1", "'; DROP TABLE tbl_Logs; --",
                                     "plain"};
        for (const QString& account : hostile)
            QCOMPARE(appendBalance({account, 1.0}), 0);
        for (const QString& account : hostile) {
            QCOMPARE(countRows(sql::SelectBalance, {account}), 1);
            QCOMPARE(SharedRecordset().Fields(col::LogAccount).toString(), account);
        }
        QCOMPARE(daoIssue_EXEStatement(sql::DeleteBalance, error, {"x\" OR \"1\"=\"1"}), 0);
        QCOMPARE(countRows("SELECT * FROM tbl_Logs", {}), 3);
        QCOMPARE(countRows(sql::SelectBalance, {"A\"1"}), 1);
    }

    void appendConvertsValuesToTheirColumns() {
        RecordBuffer() = {"0000001",  "A1",     "12/8/2026", "", " 1/2/26 ",
                          QVariant(), "25.005", "1,234.5",   0};
        QCOMPARE(daoWrite_DBTableRecord(tables::Invoices, error), 0);
        QCOMPARE(countRows(sql::SelectInvoice, {"0000001"}), 1);
        const Recordset& row = SharedRecordset();
        QCOMPARE(row.Fields(col::DateBilled), QVariant("2026-12-08"));
        QCOMPARE(row.Fields(col::CheckNumber), QVariant(""));
        QCOMPARE(row.Fields(col::DateDue), QVariant("2026-01-02"));
        QVERIFY(row.Fields(col::DateRecieved).isNull());
        QCOMPARE(row.Fields(col::PastDue), QVariant(25.01));
        QCOMPARE(row.Fields(col::AmountBilled), QVariant(1234.5));
        QCOMPARE(row.Fields(col::AmountRecieved), QVariant(0.0));

        // A short buffer leaves the remaining columns empty.
        RecordBuffer() = {"P1", MasterMarker, "Name"};
        QCOMPARE(daoWrite_DBTableRecord(tables::CustomerProfile, error), 0);
        QCOMPARE(countRows(sql::SelectProfile, {"P1"}), 1);
        QVERIFY(SharedRecordset().Fields(col::InvoiceType).isNull());
        // MonthDay keeps what was typed; whole numbers arrive as numbers.
        RecordBuffer() = QVariantList(col::ProfileColumnCount);
        RecordBuffer()[col::AccountNumber] = "P2";
        RecordBuffer()[col::InvoiceType] = "2";
        RecordBuffer()[col::MonthDay] = "05";
        QCOMPARE(daoWrite_DBTableRecord(tables::CustomerProfile, error), 0);
        QCOMPARE(countRows(sql::SelectProfile, {"P2"}), 1);
        QCOMPARE(SharedRecordset().Fields(col::InvoiceType), QVariant(qlonglong(2)));
        QCOMPARE(SharedRecordset().Fields(col::MonthDay), QVariant("05"));
    }

    void refusedAppendLeavesNothingBehind() {
        // A date that is none, and a value of the wrong kind.
        QCOMPARE(appendBalance({"A", 1.0, "", "soon"}), OnServerBook() ? 22007 : 275);
        QCOMPARE(appendBalance({"A", "lots"}), OnServerBook() ? 1 : 3091);
        QVERIFY2(error.contains(OnServerBook() ? "numeric" : "REAL"), qPrintable(error));
        QCOMPARE(appendBalance({"A", 1.0, "", QVariant(), QVariant(), "extra"}), 1);
        QCOMPARE(error, QString("daoWrite_DBTableRecord(), Error = 1 : table tbl_Logs has 5 "
                                "columns but 6 values were supplied"));
        QCOMPARE(countRows("SELECT * FROM tbl_Logs", {}), 0);
        // A duplicate key is refused too.
        QCOMPARE(appendBalance({"A", 1.0}), 0);
        QVERIFY(appendBalance({"A", 2.0}) != 0);
        QCOMPARE(countRows("SELECT * FROM tbl_Logs", {}), 1);
    }

    void transactionsLandWholeOrNotAtAll() {
        QCOMPARE(daoBegin_Transaction(error), 0);
        QCOMPARE(appendBalance({"A", 1.0}), 0);
        QCOMPARE(appendBalance({"B", 2.0}), 0);
        daoRollback_Transaction();
        QCOMPARE(countRows("SELECT * FROM tbl_Logs", {}), 0);

        QCOMPARE(daoBegin_Transaction(error), 0);
        QCOMPARE(appendBalance({"A", 1.0}), 0);
        QCOMPARE(daoIssue_EXEStatement(sql::UpdateBalance, error, {3.5, QDate(2026, 3, 1), "A"}),
                 0);
        QCOMPARE(daoCommit_Transaction(error), 0);
        daoClose_DBConnection();
        QCOMPARE(daoOpen_DBConnection(folder->database(), error), 0);
        QCOMPARE(countRows(sql::SelectBalance, {"A"}), 1);
        QCOMPARE(SharedRecordset().Fields(col::Balance), QVariant(3.5));
        QCOMPARE(SharedRecordset().Fields(col::DateLastUpdated), QVariant("2026-03-01"));
    }

    void compactionRules() {
        FILE_BOOKS_ONLY();
        QCOMPARE(appendBalance({"A", 1.0}), 0);
        const QString copy = folder->file("_tempdb.mdb");
        const QByteArray before = digest(folder->database());
        QCOMPARE(daoCompact_DB(folder->database(), copy, error), -1);
        QCOMPARE(error, QString("daoCompact_DB(): Database connection must be closed."));
        QVERIFY(!QFile::exists(copy));

        daoClose_DBConnection();
        QCOMPARE(daoCompact_DB(folder->database(), copy, error), 0);
        QCOMPARE(error, QString());
        QCOMPARE(digest(folder->database()), before);
        QCOMPARE(daoOpen_DBConnection(copy, error), 0);
        QCOMPARE(countRows(sql::SelectBalance, {"A"}), 1);
        daoClose_DBConnection();

        const QByteArray copyBytes = digest(copy);
        QCOMPARE(daoCompact_DB(folder->database(), copy, error), 1);
        QCOMPARE(error, QString("daoCompact_DB(), Error = 1 : output file already exists"));
        QCOMPARE(digest(copy), copyBytes);

        const QString nowhere = folder->file("never.mdb");
        QVERIFY(daoCompact_DB(folder->file("missing.mdb"), nowhere, error) != 0);
        QVERIFY2(error.startsWith("daoCompact_DB(), Error = 14 : "), qPrintable(error));
        QVERIFY(!QFile::exists(nowhere));
        QVERIFY(!QFile::exists(folder->file("missing.mdb")));
    }

    void pathsWithUriCharactersOpen() {
        FILE_BOOKS_ONLY();
        daoClose_DBConnection();
        const QString odd = folder->file("my books #1 ?%20.mdb");
        QVERIFY(QFile::copy(folder->database(), odd));
        QCOMPARE(daoOpen_DBConnection(odd, error), 0);
        QCOMPARE(appendBalance({"A", 1.0}), 0);
        QCOMPARE(countRows(sql::SelectBalance, {"A"}), 1);
    }

    // What a desk meets on a server, said plainly.
    void serverBooksSayWhatStandsInTheWay() {
        if (!OnServerBook())
            QSKIP("a case about server books");
        daoClose_DBConnection();
        const QString server = qEnvironmentVariable("PELLORY_TEST_SERVER");
        QCOMPARE(daoOpen_DBConnection(server, error), 1);
        QVERIFY2(error.endsWith("(the database is not a Pellory book)"), qPrintable(error));
        QCOMPARE(daoOpen_DBConnection("postgresql://pellory:secret@/x?host=/nowhere", error), 1);
        QVERIFY2(error.contains("~/.pgpass"), qPrintable(error));
        QCOMPARE(daoOpen_DBConnection("postgresql://pellory@127.0.0.1:1/x", error), 1);
        QVERIFY2(error.contains("cannot reach 127.0.0.1:1"), qPrintable(error));

        // Another desk holding the account: this save gives way and changes nothing.
        QCOMPARE(daoOpen_DBConnection(folder->database(), error), 0);
        QCOMPARE(appendBalance({"A", 1.0}), 0);
        const ServerAddress address = ReadServerAddress(folder->database()).address;
        {
            QSqlDatabase other = QSqlDatabase::addDatabase("QPSQL", "other desk");
            other.setHostName(address.host);
            other.setUserName(address.user);
            other.setDatabaseName(address.database);
            QVERIFY(other.open());
            QSqlQuery hold(other);
            QVERIFY(hold.exec("BEGIN"));
            QVERIFY(hold.exec("SELECT * FROM tbl_Logs WHERE AccountNumber = 'A' FOR UPDATE"));
            QCOMPARE(daoBegin_Transaction(error), 0);
            QVERIFY(daoGet_DBTableRecord(sql::HoldAccount, error, {"A"}) != 0);
            QVERIFY2(error.contains("Another desk is saving to the same record"),
                     qPrintable(error));
            daoRollback_Transaction();
            QVERIFY(hold.exec("ROLLBACK"));

            // A connection the server drops is said to be lost, and the next open connects anew.
            QCOMPARE(daoGet_DBTableRecord("SELECT pg_backend_pid()", error), 0);
            QVERIFY(hold.exec("SELECT pg_terminate_backend(" +
                              SharedRecordset().Fields(0).toString() + ")"));
            QVERIFY(daoIssue_EXEStatement(sql::UpdateBalance, error, {2.0, QDate(), "A"}) != 0);
            QVERIFY2(error.contains("The connection to the server was lost"), qPrintable(error));
            daoClose_DBConnection();
            QCOMPARE(daoOpen_DBConnection(folder->database(), error), 0);
            QCOMPARE(countRows(sql::SelectBalance, {"A"}), 1);
            QCOMPARE(SharedRecordset().Fields(col::Balance), QVariant(1.0));

            // A book made by a newer program is refused.
            QVERIFY(hold.exec("UPDATE tbl_Schema SET Version = 2"));
            other.close();
        }
        QSqlDatabase::removeDatabase("other desk");
        daoClose_DBConnection();
        QCOMPARE(daoOpen_DBConnection(folder->database(), error), 0); // the kept connection
        daoClose_DBConnection();
        QCOMPARE(daoOpen_DBConnection(folder->database() + "&application_name=x", error), 1);
        QVERIFY2(error.contains("version 2, made by a newer Pellory"), qPrintable(error));
    }

  private:
    std::unique_ptr<ProgramFolderFixture> folder;
};

PELLORY_BOOK_TEST_MAIN(DaoTest)
#include "test_dao.moc"
