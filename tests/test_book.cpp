// The book's operations on a real file, without any window: sessions and transactions, account
// and invoice changes, the schedule's and the tree's reads.
#include "accounts.h"
#include "balances.h"
#include "billingdue.h"
#include "bookchanges.h"
#include "booksession.h"
#include "booktesting.h"
#include "formats.h"
#include "invoicedraft.h"
#include "invoicelines.h"
#include "invoicemail.h"
#include "invoices.h"
#include "reports.h"
#include "statements.h"
#include "testbook.h"
#include "treerows.h"

namespace {
ProfileRecord profile(const QString& account, const QString& master, const QString& name) {
    ProfileRecord p;
    p.AccountNumber = account;
    p.MasterAccount = master;
    p.CustomerName = name;
    p.PaymentAmount = 12.5;
    p.UnitPrice = 0.0;
    p.PayableTo = "Varnaby Services";
    p.BillAddress[0] = "1 Mill Lane";
    p.RecievingAddress[0] = "PO Box 17";
    return p;
}

// Stores an invoice of new charges on the account as the invoice window does.
Result<InvoiceStore> create(const QString& number, const QString& account, double charges,
                            const QString& description, const QDate& date = QDate(2026, 3, 5)) {
    InvoiceRecord i;
    i.InvoiceNumber = number;
    i.AccountNumber = account;
    i.DateBilled = date;
    i.DateDue = date.addDays(14);
    i.AmountRecieved = 0.0;
    return CreateInvoice(i, charges, description);
}
} // namespace

class BookTest : public QObject {
    Q_OBJECT
  private slots:
    void init() { folder = std::make_unique<ProgramFolderFixture>(); }
    void cleanup() { folder.reset(); }

    void nestedOpenIsRefusedAndTheOuterWorkLands() {
        BookSession outer(folder->database());
        QVERIFY(outer.isOpen());
        {
            BookSession nested(folder->database());
            QVERIFY(!nested.isOpen());
            QCOMPARE(nested.error(),
                     QString("daoOpen_DBConnection(): Database connection already open"));
        }
        // The refused session closed nothing: the outer transaction still commits.
        QCOMPARE(Must(SaveAccount(profile("1001", MasterMarker, "Abbott"), QString())),
                 AccountSave::Saved);
        QVERIFY(Must(AccountExists("1001")));
    }

    void transactionRollsBackUnlessCommitted() {
        BookSession session(folder->database());
        {
            BookTransaction transaction;
            QVERIFY(transaction.begun());
            QCOMPARE(appendAccountRows(), 0);
        }
        QVERIFY(!Must(AccountExists("X1")));
    }

    void accountSavesReplaceAndCascade() {
        BookSession session(folder->database());
        QCOMPARE(Must(SaveAccount(profile("1001", MasterMarker, "Abbott"), QString())),
                 AccountSave::Saved);
        QCOMPARE(Must(SaveAccount(profile("2001", "1001", "Barnes"), QString())),
                 AccountSave::Saved);
        QCOMPARE(Must(ReadBalance("2001"))->Balance, std::optional<double>(0.0));
        QCOMPARE(Must(create("0000001", "2001", 40.0, "Hours")), InvoiceStore::Stored);

        // Editing replaces the row under the old number and keeps the balance row.
        ProfileRecord edited = profile("2001", "1001", "Barnes & Sons \"Bakers\"; DROP TABLE x");
        QCOMPARE(Must(SaveAccount(edited, "2001")), AccountSave::Saved);
        QCOMPARE(Must(ReadProfile("2001"))->CustomerName, edited.CustomerName);
        QCOMPARE(Must(ReadProfile("2001"))->PaymentAmount, QVariant(12.5));
        QCOMPARE(Must(ReadBalance("2001"))->Balance, std::optional<double>(40.0));

        // The tax rate is saved with the profile, and stays as stored when none is given.
        QCOMPARE(Must(SaveAccount(edited, "2001", QString("VAT 20 %"))), AccountSave::Saved);
        QCOMPARE(Must(SaveAccount(edited, "2001")), AccountSave::Saved);
        QCOMPARE(Must(AccountTaxName("2001")), QString("VAT 20 %"));

        // A new account whose number exists is refused inside the save: no second balance row,
        // and no tax rate either.
        QCOMPARE(Must(SaveAccount(profile("1001", MasterMarker, "Again"), QString(),
                                  QString("VAT 20 %"))),
                 AccountSave::Duplicate);
        QCOMPARE(Must(ReadProfile("1001"))->CustomerName, QString("Abbott"));
        QCOMPARE(Must(AccountTaxName("1001")), QString());

        // The master takes its linked accounts, their invoices and balances along.
        QVERIFY(DeleteAccount("1001", true).ok());
        QCOMPARE(Must(AllProfiles()).size(), std::size_t(0));
        QCOMPARE(Must(AllInvoices()).size(), std::size_t(0));
        QVERIFY(!Must(ReadBalance("2001")));
        QCOMPARE(Must(AccountTaxName("2001")), QString());
    }

    void invoiceStoresWithItsBalanceOrNotAtAll() {
        BookSession session(folder->database());
        QString error;
        QCOMPARE(Must(SaveAccount(profile("A1", MasterMarker, "Ann"), QString())),
                 AccountSave::Saved);
        QCOMPARE(Must(create("0000007", "A1", 125.0, "Visits")), InvoiceStore::Stored);
        const auto balance = Must(ReadBalance("A1"));
        QCOMPARE(balance->Balance, std::optional<double>(125.0));
        QCOMPARE(balance->LastUnitDescription, QString("Visits"));
        QCOMPARE(Must(create("0000007", "A1", 300.0, "Other")), InvoiceStore::Duplicate);
        QCOMPARE(Must(ReadBalance("A1"))->Balance, std::optional<double>(125.0));

        // A payment stored by another window after this one read the balance is kept: the
        // invoice starts from the balance as stored when it is saved.
        QCOMPARE(
            daoIssue_EXEStatement(sql::UpdateBalance, error, {25.0, QDate::currentDate(), "A1"}),
            0);
        QCOMPARE(Must(create("0000009", "A1", 40.0, "Visits")), InvoiceStore::Stored);
        QCOMPARE(Must(ReadInvoice("0000009"))->PastDue, std::optional<double>(25.0));
        QCOMPARE(Must(ReadInvoice("0000009"))->AmountBilled, std::optional<double>(65.0));
        QCOMPARE(Must(ReadBalance("A1"))->Balance, std::optional<double>(65.0));

        // An invoice row the book refuses leaves the balance as it was.
        QCOMPARE(daoIssue_EXEStatement(OnServerBook()
                                           ? "ALTER TABLE tbl_Invoices ADD CONSTRAINT disk_says_no "
                                             "CHECK (InvoiceNumber = '') NOT VALID"
                                           : "CREATE TRIGGER refuse BEFORE INSERT ON tbl_Invoices "
                                             "BEGIN SELECT RAISE(ABORT, 'disk_says_no'); END",
                                       error),
                 0);
        const auto refused = create("0000008", "A1", 500.0, "Broken");
        QVERIFY(!refused);
        QVERIFY2(refused.error().contains("disk_says_no"), qPrintable(refused.error()));
        QCOMPARE(Must(ReadBalance("A1"))->Balance, std::optional<double>(65.0));
        QVERIFY(!Must(InvoiceExists("0000008")));
    }

    void scheduleAndTreeReadTheBook() {
        BookSession session(folder->database());
        const QDate today(2026, 12, 8);
        for (const auto& [account, master] :
             {std::pair{"1001", MasterMarker}, {"2001", "1001"}, {"1002", MasterMarker}}) {
            ProfileRecord p = profile(account, master, QString("Name ") + account);
            p.BillCycle = 1;
            p.MonthDay = account == QLatin1String("1002") ? "1" : "15";
            QCOMPARE(Must(SaveAccount(p, QString())), AccountSave::Saved);
        }
        QCOMPARE(Must(create("0000001", "1001", 10.0, "H", today.addDays(-3))),
                 InvoiceStore::Stored);
        QCOMPARE(Must(create("0000002", "2001", 10.0, "H", today.addMonths(-1))),
                 InvoiceStore::Stored);
        const auto due = Must(AccountsDueThisMonth(today));
        QCOMPARE(due.size(), std::size_t(2));      // 1001 was billed this month
        QCOMPARE(due[0].account, QString("1002")); // by billing day
        QCOMPARE(due[1].account, QString("2001"));

        const auto masters = Must(ReadTreeAccounts());
        QCOMPARE(masters.size(), std::size_t(2));
        QCOMPARE(masters[0].linked.size(), std::size_t(1));
        QCOMPARE(masters[0].linked[0].name, QString("Name 2001"));
        const auto invoices = Must(ReadTreeInvoices());
        QCOMPARE(invoices.size(), std::size_t(2));
        QVERIFY(invoices[0].unpaid);
    }

    void highestInvoiceNumberCountsOnlyNumbers() {
        const TestBook rows(folder->database());
        for (const char* number : {"0000009", "0000041", "7", "A-99", "0000100X", ""})
            QVERIFY(rows.addInvoice(number, "A1", QVariant()));
        BookSession session(folder->database());
        QString error;
        QCOMPARE(Must(HighestInvoiceNumber()), std::optional<qlonglong>(41));
        QCOMPARE(daoIssue_EXEStatement("DELETE FROM tbl_Invoices WHERE "
                                       "substr(InvoiceNumber, length(InvoiceNumber)) IN "
                                       "('0','1','2','3','4','5','6','7','8','9')",
                                       error),
                 0);
        QCOMPARE(Must(HighestInvoiceNumber()), std::nullopt);
    }

    // A table the engine cannot read is a failure, never "absent" or "empty": the windows would
    // say "no activity", leave accounts out of a report, or take a number that is in use.
    void failedReadsAreFailuresNotAbsence() {
        BookSession session(folder->database());
        QCOMPARE(Must(SaveAccount(profile("1001", MasterMarker, "Abbott"), QString())),
                 AccountSave::Saved);
        QCOMPARE(Must(create("0000001", "1001", 40.0, "Hours")), InvoiceStore::Stored);
        QString error;
        QCOMPARE(daoIssue_EXEStatement("ALTER TABLE tbl_Invoices RENAME TO gone", error), 0);
        QVERIFY(!InvoiceExists("0000001"));
        QVERIFY(!create("0000002", "1001", 5.0, "Hours"));
        QVERIFY(!ReadAccountActivity("1001"));
        QVERIFY(!ReadReport({"1001",
                             {.type = ReportType::YearToDate, .today = QDate(2026, 6, 1)},
                             ReportedAccounts::ChosenAndLinked}));
        QVERIFY(!DraftInvoice("1001", 0));
        QVERIFY(Must(ReadTreeAccounts()).size() == 1); // the accounts still read
        QVERIFY(!ReadTreeInvoices());
        QCOMPARE(daoIssue_EXEStatement("ALTER TABLE tbl_CustomerProfile RENAME TO gone2", error),
                 0);
        QVERIFY(!AccountExists("1001"));
        QVERIFY(!SaveAccount(profile("1002", MasterMarker, "New"), QString()));
    }

    void aCommitAnnouncesTheChangeOnceTheSessionCloses() {
        int heard = 0;
        QObject listener;
        connect(&BookChangeAnnouncer(), &BookChanges::changed, &listener, [&] { ++heard; });
        {
            BookSession session(folder->database());
            QVERIFY(SaveAccount(profile("1001", MasterMarker, "Abbott"), QString()).ok());
            QVERIFY(DeleteAccount("1001", true).ok());
            QTest::qWait(50); // the session is still open: a listener could not read the book
            QCOMPARE(heard, 0);
        }
        QTRY_COMPARE(heard, 1); // two commits, one refresh
        {
            BookSession session(folder->database());
            QCOMPARE(Must(SaveAccount(profile("1001", MasterMarker, "Abbott"), QString())),
                     AccountSave::Saved);
            QCOMPARE(Must(SaveAccount(profile("1001", MasterMarker, "Again"), QString())),
                     AccountSave::Duplicate); // refused: nothing committed, nothing more said
        }
        QTRY_COMPARE(heard, 2);
        QTest::qWait(50);
        QCOMPARE(heard, 2);
    }

    void invoiceDraftFromTheBookAndTheSetting() {
        QCOMPARE(ProposedInvoiceNumber(40, 41), QString("0000042"));
        QCOMPARE(ProposedInvoiceNumber(45, 41), QString("0000046"));
        QCOMPARE(ProposedInvoiceNumber(0, std::nullopt), QString("0000001"));
        // Due on a weekend moves to the Monday.
        QCOMPARE(DueDate(QDate(2026, 12, 4), 1), QDate(2026, 12, 7));
        QCOMPARE(DueDate(QDate(2026, 12, 4), 0), QDate(2026, 12, 4));

        ProfileRecord terms = profile("1001", MasterMarker, "Abbott");
        terms.UnitPrice = 40.0;
        terms.InvoiceType = 0;
        QVERIFY(StartCharges(terms).amountEntered);
        terms.InvoiceType = 1;
        QCOMPARE(StartCharges(terms).amount, 12.5);
        terms.InvoiceType = 2;
        const ChargesStart units = StartCharges(terms);
        QVERIFY(units.unitsEntered && units.units == "0" && units.unitRate == 40.0);
        QCOMPARE(AmountBilled(0.1, 0.2), 0.3);

        // An account without a balance row owes nothing and has no description.
        BookSession session(folder->database());
        QCOMPARE(Must(SaveAccount(profile("1001", MasterMarker, "Abbott"), QString())),
                 AccountSave::Saved);
        QCOMPARE(Must(create("0000041", "1001", 40.0, "Hours")), InvoiceStore::Stored);
        QString error;
        QCOMPARE(daoIssue_EXEStatement(sql::DeleteBalance, error, {"1001"}), 0);
        const auto draft = Must(DraftInvoice("1001", 7));
        QVERIFY(draft);
        QCOMPARE(draft->number, QString("0000042"));
        QCOMPARE(draft->previous, 0.0);
        QCOMPARE(draft->unitDescription, QString());
        QVERIFY(!Must(DraftInvoice("9999", 7)));
    }

    void invoiceEntryIsCheckedInTheOrderTheUserIsTold() {
        InvoiceEntry entry{"x", "", "", "", "", "", ""};
        QCOMPARE(CheckInvoiceEntry(entry)->field, InvoiceField::Number);
        entry.number = "41";
        QCOMPARE(CheckInvoiceEntry(entry)->field, InvoiceField::Payable);
        entry.payable = "Varnaby";
        entry.description = "Hours";
        entry.dateBilled = "12/9/2026";
        entry.dateDue = "12/8/2026";
        QCOMPARE(CheckInvoiceEntry(entry)->message,
                 QString("Due Date cannot be before Billing Date, please correct."));
        entry.dateDue = "12/9/2026";
        QVERIFY(!CheckInvoiceEntry(entry)); // blank units and charges read as zero
        QCOMPARE(entry.units, QString("0"));
        QCOMPARE(entry.charges, QString("0.00"));
        entry.charges = "lots";
        QCOMPARE(CheckInvoiceEntry(entry)->field, InvoiceField::Charges);
    }

    // What the balance window previews is what the save stores, and the email says what is
    // still owed on the invoice.
    void paymentAndMailFigures() {
        QCOMPARE(BalanceAfterPayment(100.0, 20.0, 50.0), 70.0);
        QCOMPARE(BalanceAfterPayment(100.0, 20.0, 20.0), 100.0);
        BookSession session(folder->database());
        QCOMPARE(Must(SaveAccount(profile("1001", MasterMarker, "Abbott"), QString())),
                 AccountSave::Saved);
        QCOMPARE(Must(create("0000001", "1001", 110.5, "Hours")), InvoiceStore::Stored);
        QCOMPARE(Must(SavePayment({"0000001", QDate(2026, 3, 9), "chk 7", 40.0})),
                 BalanceAfterPayment(110.5, 0.0, 40.0));
        const InvoiceRecord paid = *Must(ReadInvoice("0000001"));
        const QString body = ComposeInvoiceMail(paid, profile("1001", MasterMarker, "Abbott")).body;
        QVERIFY2(body.contains("Invoice total: 110.50\nAmount due: 70.50\n"), qPrintable(body));
    }

    void invoiceNumbersOutOfRangeAreRefused() {
        QCOMPARE(FormatInvoiceNumber(17), std::optional<QString>("0000017"));
        QCOMPARE(FormatInvoiceNumber(41.4), std::optional<QString>("0000041"));
        QCOMPARE(FormatInvoiceNumber(-3), std::optional<QString>("-0000003"));
        QCOMPARE(FormatInvoiceNumber(12345678901234567890.0), std::nullopt);
        QCOMPARE(FormatInvoiceNumber(-1e300), std::nullopt);
    }

  private:
    static qint32 appendAccountRows() {
        QString error;
        RecordBuffer() = {"X1", 1.0};
        const qint32 result = daoWrite_DBTableRecord(QLatin1String(tables::Logs), error);
        RecordBuffer() = QVariantList(col::ProfileColumnCount);
        RecordBuffer()[col::AccountNumber] = "X1";
        return result || daoWrite_DBTableRecord(QLatin1String(tables::CustomerProfile), error);
    }

    std::unique_ptr<ProgramFolderFixture> folder;
};

PELLORY_BOOK_TEST_MAIN(BookTest)
#include "test_book.moc"
