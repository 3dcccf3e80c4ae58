// The sample book generator: a book in the shipped format whose balances add up.
#include "booktesting.h"
#include "formats.h"
#include "samplebook.h"
#include "testbook.h"

#include <QFile>
#include <QHash>
#include <QSet>

class TestSampleBook : public QObject {
    Q_OBJECT

  private slots:
    void balancesMatchTheInvoicesAndPayments() {
        ProgramFolderFixture folder;
        const QString target = folder.file("sample.mdb");
        const SampleBookResult result = WriteSampleBook(target, {12, 100, 25, 7});
        QVERIFY2(result.error.isEmpty(), qPrintable(result.error));
        QCOMPARE(result.lastInvoice, QStringLiteral("0000100"));
        const TestBook book(target);
        QCOMPARE(book.profiles(), 12);
        QCOMPARE(book.invoices(), 100);

        QSet<QString> masters;
        for (const QVariantList& row : book.rows(sql::SelectProfilesOfMaster, {MasterMarker}))
            masters << row[col::AccountNumber].toString();
        QCOMPARE(masters.size(), 3);
        for (const QVariantList& row : book.rows(sql::SelectAllProfiles)) {
            const QString master = row[col::MasterAccount].toString();
            QVERIFY(master == QLatin1String(MasterMarker) || masters.contains(master));
        }

        // Each invoice starts from the balance the account was left at; the balance row holds
        // what is owed after the last one.
        QHash<QString, double> owed;
        int unpaid = 0;
        for (const QVariantList& invoice : book.rows(sql::SelectAllInvoices)) {
            const QString account = invoice[col::InvoiceAccount].toString();
            QCOMPARE(invoice[col::PastDue].toDouble(), owed.value(account));
            QVERIFY(invoice[col::AmountBilled].toDouble() > invoice[col::PastDue].toDouble());
            const bool paid = DateFromStored(invoice[col::DateRecieved]).isValid();
            unpaid += paid ? 0 : 1;
            QCOMPARE(invoice[col::AmountRecieved].toDouble() > 0, paid);
            owed[account] = RoundCents(invoice[col::AmountBilled].toDouble() -
                                       invoice[col::AmountRecieved].toDouble());
        }
        QCOMPARE(unpaid, result.unpaid);
        QVERIFY(unpaid > 0 && unpaid < 100);
        for (auto account = owed.begin(); account != owed.end(); ++account) {
            const auto balance = book.rows(sql::SelectBalance, {account.key()});
            QCOMPARE(balance.size(), size_t(1));
            QCOMPARE(balance[0][col::Balance].toDouble(), account.value());
        }
    }

    // Made from the schema, never from the book in the program folder, which holds the user's
    // own accounts once the program is in use.
    void theSampleStartsFromABlankBookOfTheSchema() {
        ProgramFolderFixture folder;
        QVERIFY(TestBook(folder.database()).addProfile("1001", MasterMarker, "My own customer"));
        const QString target = folder.file("sample.mdb");
        const SampleBookResult result = WriteSampleBook(target, {8, 20, 25, 3});
        QVERIFY2(result.error.isEmpty(), qPrintable(result.error));
        QCOMPARE(TestBook(target).profiles(), 8);
        const auto tablesOf = [](const QString& book) {
            QStringList tables;
            for (const QVariantList& row : TestBook(book).rows(
                     "SELECT type, name, sql FROM sqlite_master ORDER BY type, name"))
                tables << row[0].toString() + ' ' + row[1].toString() + ' ' + row[2].toString();
            return tables;
        };
        QCOMPARE(tablesOf(target),
                 tablesOf(QStringLiteral(PELLORY_BUILT_PROGRAM_FOLDER "/pellory.mdb")));
        QVERIFY(!QFile::exists(target + ".new"));
    }

    void anExistingFileIsNeverOverwritten() {
        ProgramFolderFixture folder;
        const QString target = folder.file("taken.mdb");
        QFile taken(target);
        QVERIFY(taken.open(QIODevice::WriteOnly));
        taken.write("my own book");
        taken.close();
        const SampleBookResult result = WriteSampleBook(target, {});
        QVERIFY(result.error.contains("already exists"));
        QVERIFY(taken.open(QIODevice::ReadOnly));
        QCOMPARE(taken.readAll(), QByteArray("my own book"));
    }
};

PELLORY_BOOK_TEST_MAIN(TestSampleBook)
#include "test_samplebook.moc"
