// Customers imported from comma-separated files into a real book: the reader, the headings, and
// the rules of the import itself.
#include "accounts.h"
#include "booksession.h"
#include "booktesting.h"
#include "columns.h"
#include "csvfile.h"
#include "customerimport.h"

namespace {
const QByteArray Heading =
    "Account Number,Master Account,Name,Payable To,Bill Address 1,Recieving Address 1\r\n";

// A row the editor would accept, for the columns of Heading.
QByteArray row(const QByteArray& account, const QByteArray& master = QByteArray()) {
    return account + ',' + master + ",Customer " + account + ",Varnaby,1 Mill Lane,PO Box 17\r\n";
}

Result<ImportSummary> importCsv(const QByteArray& csv, bool replace = false) {
    const CsvTable table = Must(ParseCsv(csv));
    return ImportCustomers(table.rows, DefaultMapping(table.header), replace);
}

ProfileRecord stored(const QString& account) {
    const auto profile = Must(ReadProfile(account));
    if (!profile)
        qFatal("Account %s is not in the book", qPrintable(account));
    return *profile;
}
} // namespace

class CustomerImportTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        folder = std::make_unique<ProgramFolderFixture>();
        session = std::make_unique<BookSession>(folder->database());
        QVERIFY(session->isOpen());
    }
    void cleanup() {
        session.reset();
        folder.reset();
    }

    void readerFollowsQuotingAndLineEnds() {
        const CsvTable table = Must(ParseCsv("\xEF\xBB\xBF"
                                             "A,B,C\r\n"
                                             "\"x, y\",\"say \"\"hi\"\"\",\"two\r\nlines\"\n"
                                             "\n"
                                             "1,,\"\"\r\n"
                                             "last,row,no end"));
        QCOMPARE(table.header, QStringList({"A", "B", "C"}));
        QCOMPARE(table.rows.size(), size_t(3));
        QCOMPARE(table.rows[0], QStringList({"x, y", "say \"hi\"", "two\r\nlines"}));
        QCOMPARE(table.rows[1], QStringList({"1", "", ""}));
        QCOMPARE(table.rows[2], QStringList({"last", "row", "no end"}));

        const auto latin1 = ParseCsv("Name\nM\xFCller\n");
        QVERIFY(!latin1);
        QVERIFY(latin1.error().contains("not UTF-8"));
        QVERIFY(ParseCsv("Name\n\"open\n").error().contains("closing quote"));
        QVERIFY(!ParseCsv(""));
    }

    void headingsChooseTheirFields() {
        const ImportMapping mapping = DefaultMapping(
            {"AccountNumber", "Customer Name", "E-mail", "Recieving Address 2",
             "Receiving address 3", "Grace Days", "Favourite colour", "Account Number"});
        QCOMPARE(mapping, ImportMapping({ImportField::AccountNumber, ImportField::CustomerName,
                                         ImportField::Email, ImportField::RecievingAddress2,
                                         ImportField::RecievingAddress3, ImportField::GraceDays,
                                         ImportField::None, ImportField::None}));
        QCOMPARE(ImportFieldName(ImportField::BillAddress4), QString("Bill Address 4"));
    }

    void hostileValuesAreStoredAsTyped() {
        const QString longText(10000, QChar('x'));
        const QByteArray csv = "Account Number,Name,Payable To,Bill Address 1,Recieving Address "
                               "1,Comments,Unit Price,Month Day\r\n"
                               "\" 1001 \",\"O'Neil, \"\"Pat\"\"\",=SUM(A1),\"1 Mill Lane\nBack "
                               "door\",\"; DROP TABLE tbl_Logs;\"," +
                               longText.toUtf8() + ",\"1,234.5\",\n";
        const ImportSummary summary = Must(importCsv(csv));
        QCOMPARE(summary.stored, QStringList({"1001"}));
        QVERIFY(summary.skipped.isEmpty());
        const ProfileRecord p = stored("1001");
        QCOMPARE(p.CustomerName, QString("O'Neil, \"Pat\""));
        QCOMPARE(p.PayableTo, QString("=SUM(A1)"));
        QCOMPARE(p.BillAddress[0], QString("1 Mill Lane\nBack door"));
        QCOMPARE(p.RecievingAddress[0], QString("; DROP TABLE tbl_Logs;"));
        QCOMPARE(p.Comments, longText);
        // What the editor stores for a new account where the file is silent.
        QVERIFY(p.IsMaster());
        QCOMPARE(p.UnitPrice.toDouble(), 1234.5);
        QCOMPARE(p.PaymentAmount.toDouble(), 0.0);
        QCOMPARE(p.MonthDay, QString("15"));
        QVERIFY(Must(ReadBalance("1001")).has_value());
    }

    void duplicatesAreSkippedOrReplaced() {
        QVERIFY(Must(importCsv(Heading + row("1001"))).skipped.isEmpty());
        QByteArray again = Heading + row("1001");
        again.replace("Customer 1001", "Renamed");
        const QByteArray csv = again + row("1002") + row("1002");

        const ImportSummary skipping = Must(importCsv(csv));
        QCOMPARE(skipping.stored, QStringList({"1002"}));
        QCOMPARE(skipping.skipped,
                 QStringList({"Row 2: Account 1001 already exists.",
                              "Row 4: Account 1002 is in an earlier row of the file."}));
        QCOMPARE(stored("1001").CustomerName, QString("Customer 1001"));

        const ImportSummary replacing = Must(importCsv(csv, true));
        QCOMPARE(replacing.stored, QStringList({"1001", "1002"}));
        QCOMPARE(replacing.replaced, replacing.stored);
        QCOMPARE(stored("1001").CustomerName, QString("Renamed"));
        QCOMPARE(Must(AllProfiles()).size(), size_t(2));
    }

    void mastersAreStoredBeforeTheirLinkedAccounts() {
        QVERIFY(Must(importCsv(Heading + row("900"))).skipped.isEmpty());
        const ImportSummary summary = Must(
            importCsv(Heading + row("2001", "1001") + row("2002", "900") + row("2003", "2001") +
                      row("2004", "777") + row("1001", QByteArray(MasterMarker))));
        QCOMPARE(summary.stored, QStringList({"1001", "2001", "2002"}));
        QCOMPARE(summary.skipped,
                 QStringList({"Row 4: The master account 2001 is neither a master account in "
                              "the book nor one in the file.",
                              "Row 5: The master account 777 is neither a master account in the "
                              "book nor one in the file."}));
        QCOMPARE(stored("2001").MasterAccount, QString("1001"));
    }

    void rowsTheEditorWouldRefuseAreRefused() {
        const ImportSummary summary = Must(importCsv(
            "Account Number,Name,Payable To,Bill Address 1,Recieving Address 1,Invoice Type\n"
            ",A,P,B,R,0\n"
            "\"1,2\",A,P,B,R,0\n"
            "\"tab\t\",A,P,B,R,\n"
            "3,A,P,B,R,3\n"
            "5,\" \",P,B,R,0\n"
            "4,A,P,B,R,2\n"));
        QCOMPARE(summary.stored, QStringList({"4"}));
        QCOMPARE(summary.skipped,
                 QStringList({"Row 2: An Account Number is required.",
                              "Row 3: Please do not put comma's in the the Account Number.",
                              "Row 4: Please do not put control characters, such as a line break "
                              "or a tab, in the Account Number.",
                              "Row 5: The Invoice Type must be a whole number from 0 to 2, not "
                              "\"3\".",
                              "Row 6: A Customer Name is required."}));
        QCOMPARE(stored("4").InvoiceType, 2);
    }

    void aRowTheBookRefusesStoresNothing() {
        QByteArray csv = Heading;
        csv.replace("\r\n", ",Unit Price\r\n");
        for (const char* account : {"1001", "1002", "1003"})
            csv += row(account).replace("\r\n",
                                        account == QByteArray("1002") ? ",ten\r\n" : ",10\r\n");
        const auto imported = importCsv(csv);
        QVERIFY(!imported);
        QVERIFY2(imported.error().startsWith("Nothing was imported.\n\nRow 3 (account 1002): "),
                 qPrintable(imported.error()));
        QVERIFY(Must(AllProfiles()).empty());
        QVERIFY(!Must(ReadBalance("1001")).has_value());
    }

  private:
    std::unique_ptr<ProgramFolderFixture> folder;
    std::unique_ptr<BookSession> session;
};

PELLORY_BOOK_TEST_MAIN(CustomerImportTest)
#include "test_customerimport.moc"
