// Moving a book between a file and the private PostgreSQL server, and the upkeep of a server
// book: real files, a real server.
#include "blankbook.h"
#include "bookmove.h"
#include "booksession.h"
#include "booktesting.h"
#include "invoicelines.h"
#include "testbook.h"
#include "upkeep.h"

#include <QDir>
#include <QFile>

namespace {

QString blankFileIn(const QTemporaryDir& folder, const QString& name) {
    const QString path = folder.filePath(name);
    QFile::copy(QStringLiteral(PELLORY_BUILT_PROGRAM_FOLDER "/pellory.mdb"), path);
    QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    return path;
}

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every row of the book, in an order both kinds of book give alike.
std::vector<QVariantList> everyRow(const QString& book) {
    const TestBook rows(book);
    std::vector<QVariantList> all = rows.rows(sql::SelectProfilesInAccountOrder);
    for (const auto& more : {rows.rows(sql::SelectInvoicesBilledWithin.file, {"", "", "", ""}),
                             rows.rows(sql::SelectBalancesInAccountOrder),
                             rows.rows(sql::SelectInvoiceLines, {"1002"}),
                             rows.rows(sql::SelectTaxRates), rows.rows(sql::SelectAllAccountTax)})
        all.insert(all.end(), more.begin(), more.end());
    return all;
}

} // namespace

class MoveBookTest : public QObject {
    Q_OBJECT
  private slots:
    void aBookGoesToAServerAndBackWhole() {
        QTemporaryDir folder;
        const QString book = blankFileIn(folder, "pellory.mdb");
        const TestBook rows(book);
        QVERIFY(rows.addProfile("A'1", "! this is a master account !", "O'Brien, \"Sons\"; DROP",
                                {{QString::number(col::Email), QVariant()},
                                 {QString::number(col::UnitPrice), 0.1 + 0.2},
                                 {QString::number(col::BillCycle), 3}}));
        QVERIFY(rows.addProfile("B2", "A'1", "Ünïcode Ltd"));
        QVERIFY(rows.addInvoice("1001", "A'1", QVariant()));
        QVERIFY(rows.addInvoice("1002", "B2", QDate(2026, 4, 1), "chq 'x'"));
        QVERIFY(
            rows.append(tables::Logs, {"C3", -12.35, QVariant(), QDate(2025, 12, 31), QVariant()}));
        {
            // The tables of lines and rates go with the book.
            const BookSession session(book);
            InvoiceLine taxed{"Parts", 1.5, 10.0, 15.0, "VAT 20 %", 20.0, 3.0};
            QVERIFY(SaveTaxRates({{"VAT 20 %", 20.0}}).ok());
            QVERIFY(SetAccountTaxName("B2", "VAT 20 %").ok());
            QVERIFY(WriteInvoiceLines("1002", {taxed, {"Labour", 2, 50, 100, {}, 0, 0}}).ok());
        }
        const QByteArray source = contentOf(book);

        ServerDatabase server;
        const Result<BookFigures> there = MoveBook(book, server.uri());
        QVERIFY2(there.ok(), qPrintable(there.error()));
        QCOMPARE(contentOf(book), source);
        QCOMPARE(there->accounts, 2);
        QCOMPARE(there->invoices, 2);
        QCOMPARE(there->balances, 3);
        QCOMPARE(there->balanceCents, -1235);
        QCOMPARE(there->billedCents, 22100);
        QCOMPARE(there->receivedCents, 11050);
        QCOMPARE(TestBook(server.uri()).profile("A'1").value(col::CustomerName).toString(),
                 QString("O'Brien, \"Sons\"; DROP"));

        const QString back = folder.filePath("back.mdb");
        const Result<BookFigures> home = MoveBook(server.uri(), back);
        QVERIFY2(home.ok(), qPrintable(home.error()));
        QVERIFY(*home == *there);
        QCOMPARE(everyRow(back), everyRow(book));
        QCOMPARE(TestBook(back).rows(sql::SelectInvoiceLines, {"1002"}).size(), size_t(2));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList({"back.mdb", "pellory.mdb"}));
        QVERIFY(DescribeMove(*home, back).contains("The balances total -12.35"));
    }

    void aTargetInUseIsRefusedAndLeftAsItWas() {
        QTemporaryDir folder;
        const QString book = blankFileIn(folder, "pellory.mdb");
        QVERIFY(TestBook(book).addProfile("A1", QString(), "Moved"));

        ServerDatabase used;
        QCOMPARE(used.run(ScriptStatements(ServerTablesScript())), QString());
        QVERIFY(TestBook(used.uri()).addProfile("KEEP", QString(), "Already here"));
        ServerDatabase other;
        QCOMPARE(other.run({"CREATE TABLE notes (line TEXT)"}), QString());
        for (const ServerDatabase* target : {&used, &other}) {
            const Result<BookFigures> moved = MoveBook(book, target->uri());
            QVERIFY(!moved.ok());
            QVERIFY2(moved.error().contains("already holds tables"), qPrintable(moved.error()));
            QVERIFY(moved.error().endsWith("Nothing was moved; the target is as it was."));
        }
        QCOMPARE(TestBook(used.uri()).profiles(), 1);
        QVERIFY(!other.run({"SELECT * FROM tbl_CustomerProfile"}).isEmpty());

        // A step that fails halfway undoes the tables already made.
        ServerDatabase clash;
        QCOMPARE(clash.run({"CREATE SEQUENCE idx_Logs_Account"}), QString());
        const Result<BookFigures> undone = MoveBook(book, clash.uri());
        QVERIFY2(undone.error().contains("was undone"), qPrintable(undone.error()));
        QVERIFY(!clash.run({"SELECT * FROM tbl_CustomerProfile"}).isEmpty());

        const QString existing = folder.filePath("existing.mdb");
        QFile(existing).open(QIODevice::WriteOnly);
        QVERIFY(!MoveBook(used.uri(), existing).ok());
        QCOMPARE(contentOf(existing), QByteArray());
        QVERIFY(!MoveBook(book, folder.filePath("copy.mdb")).ok()); // a file to a file
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList({"existing.mdb", "pellory.mdb"}));
    }

    void aServerBookIsCompactedAndDumpedWhole() {
        QTemporaryDir backup;
        ServerDatabase book;
        QCOMPARE(book.run(ScriptStatements(ServerTablesScript())), QString());
        QVERIFY(TestBook(book.uri()).addProfile("D'4", QString(), "Dumped"));
        QString error;
        QCOMPARE(CompactBookInPlace(book.uri(), error), 0);
        QCOMPARE(BackUpBook(book.uri(), backup.path(), error), 0);
        const QString copy = backup.filePath(book.name() + ".sql");
        const QByteArray dump = contentOf(copy);
        QVERIFY(dump.contains("CREATE TABLE"));
        QVERIFY(dump.contains("D'4"));
        QVERIFY(dump.contains("PostgreSQL database dump complete"));

        // Without pg_dump, or when it fails, the previous copy stays and nothing else is left.
        QTemporaryDir noPrograms;
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", noPrograms.path().toUtf8());
        QVERIFY(BackUpBook(book.uri(), backup.path(), error) != 0);
        qputenv("PATH", path);
        QVERIFY2(error.contains("pg_dump") && error.contains("not installed"), qPrintable(error));
        QString missing = book.uri();
        missing.replace(book.name(), "no_such_book");
        QVERIFY(BackUpBook(missing, backup.path(), error) != 0);
        QVERIFY2(error.contains("pg_dump failed"), qPrintable(error));
        QCOMPARE(contentOf(copy), dump);
        QCOMPARE(QDir(backup.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList({book.name() + ".sql"}));
    }
};

PELLORY_BOOK_TEST_MAIN(MoveBookTest)
#include "test_movebook.moc"
