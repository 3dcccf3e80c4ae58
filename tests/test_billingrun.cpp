// The month's billing in one run, without any window: what the plan proposes for each account
// due, and the store of the ticked invoices in one transaction.
#include "accounts.h"
#include "billingrun.h"
#include "books.h"
#include "booksession.h"
#include "booktesting.h"
#include "invoices.h"
#include "statements.h"

namespace {
const QDate Today = QDate::currentDate();

const PlannedInvoice& rowOf(const BillingPlan& plan, const QString& account) {
    for (const PlannedInvoice& row : plan.rows)
        if (row.account == account)
            return row;
    qFatal("account %s is not planned", qPrintable(account));
}

AccountRow due(const QString& account, int invoiceType, double amount) {
    return {.account = account,
            .invoiceType = invoiceType,
            .fixedAmount = amount,
            .unitPrice = amount,
            .billCycle = 1,
            .monthDay = "1",
            .graceDays = 10,
            .balance = 5.0,
            .lastDescription = "Monthly care"};
}
} // namespace

class BillingRunTest : public QObject {
    Q_OBJECT
    std::unique_ptr<ProgramFolderFixture> folder;

    void addDue(const QStringList& accounts) {
        for (const QString& account : accounts)
            QVERIFY(AddAccount(folder->database(), due(account, 1, 40.0)));
    }

  private slots:
    void init() { folder = std::make_unique<ProgramFolderFixture>(); }
    void cleanup() { folder.reset(); }

    void planFollowsEachAccountsTermsAndTax() {
        const QString db = folder->database();
        QVERIFY(AddAccount(db, due("FIXED", 1, 40.0)));
        QVERIFY(AddAccount(db, due("ENTERED", 0, 0.0)));
        QVERIFY(AddAccount(db, due("UNITS", 2, 12.5)));
        QVERIFY(AddAccount(db, due("TAXED", 1, 33.33)));
        QVERIFY(AddAccount(db, due("GONE", 1, 10.0)));
        AccountRow bare = due("BARE", 1, 10.0);
        bare.lastDescription.clear();
        QVERIFY(AddAccount(db, bare));
        BookSession session(db);
        (void)Must(SaveTaxRates({{"VAT 20 %", 20.0}, {"Old", 5.0}}));
        (void)Must(SetAccountTaxName("TAXED", "VAT 20 %"));
        (void)Must(SetAccountTaxName("GONE", "Old"));
        (void)Must(SaveTaxRates({{"VAT 20 %", 20.0}}));

        const BillingPlan plan = Must(PlanBillingRun(Today, 41));
        QCOMPARE(plan.rows.size(), std::size_t(6));
        QCOMPARE(plan.firstNumber, 42);
        const PlannedInvoice& fixed = rowOf(plan, "FIXED");
        QVERIFY(fixed.ticked);
        QCOMPARE(fixed.line.units, 1.0);
        QCOMPARE(fixed.line.amount, 40.0);
        QCOMPARE(fixed.line.description, QString("Monthly care"));
        QCOMPARE(fixed.due, DueDate(Today, 10));
        QCOMPARE(fixed.payable, QString("Pellory Services"));
        QVERIFY(fixed.note.isEmpty());

        const PlannedInvoice& taxed = rowOf(plan, "TAXED");
        QCOMPARE(taxed.line.taxName, QString("VAT 20 %"));
        QCOMPARE(taxed.line.tax, 6.67);
        QCOMPARE(TotalOf(taxed), 40.0);
        const PlannedInvoice& gone = rowOf(plan, "GONE");
        QVERIFY(gone.ticked);
        QCOMPARE(gone.line.tax, 0.0);
        QVERIFY(gone.note.contains("\"Old\" is no longer in the book: no tax"));

        const PlannedInvoice& entered = rowOf(plan, "ENTERED");
        QVERIFY(!entered.ticked);
        QVERIFY(NoteOf(entered).startsWith("Needs an amount"));
        QVERIFY(entered.number.isEmpty());
        const PlannedInvoice& units = rowOf(plan, "UNITS");
        QVERIFY(!units.ticked);
        QCOMPARE(units.line.rate, 12.5);
        QVERIFY(!rowOf(plan, "BARE").ticked);
        QCOMPARE(rowOf(plan, "BARE").note, QString("Please enter a value for Unit Description."));

        // Ticked rows only, consecutive, in the plan's order.
        QStringList numbers;
        for (const PlannedInvoice& row : plan.rows)
            if (row.ticked)
                numbers << row.number;
        QCOMPARE(numbers, QStringList({"0000042", "0000043", "0000044"}));
        const BillingRunTotals totals = TotalOfTicked(plan.rows);
        QCOMPARE(totals.invoices, 3);
        QCOMPARE(totals.tax, 6.67);
        QCOMPARE(totals.total, 90.0);
    }

    void storeLandsAllTickedPastNumbersTakenMeanwhile() {
        addDue({"A", "B", "C"});
        BillingPlan plan;
        {
            BookSession session(folder->database());
            plan = Must(PlanBillingRun(Today, 0));
        }
        plan.rows[0].line.taxName = "VAT 20 %";
        plan.rows[0].line.taxPercent = 20.0;
        Reprice(plan.rows[0]);
        plan.rows[1].ticked = false;
        plan.rows[2].line.units = 3;
        Reprice(plan.rows[2]);
        // Another desk bills meanwhile, with the number the run proposed.
        QVERIFY(AddInvoice(folder->database(), {.number = "0000001", .account = "B"}));
        BookSession session(folder->database());
        int seenBeforeCommit = 0;
        const auto stored = Must(StoreBillingRun(
            plan.rows, 0, [&](const auto& invoices) { seenBeforeCommit = int(invoices.size()); }));
        QCOMPARE(seenBeforeCommit, 2);
        QCOMPARE(stored.size(), std::size_t(2));
        QCOMPARE(stored[0].invoice.InvoiceNumber, QString("0000002"));
        QCOMPARE(*stored[0].invoice.AmountBilled, 53.0);
        const auto lines = Must(LinesOfInvoice("0000002"));
        QCOMPARE(lines.size(), std::size_t(1));
        QCOMPARE(lines[0].tax, 8.0);
        QCOMPARE(stored[1].invoice.InvoiceNumber, QString("0000003"));
        QCOMPARE(stored[1].invoice.AccountNumber, QString("C"));
        QCOMPARE(*stored[1].invoice.PastDue, 5.0);
        QCOMPARE(*stored[1].invoice.AmountBilled, 125.0);
        const auto read = Must(ReadInvoice("0000003"));
        QVERIFY(read);
        QCOMPARE(*read->AmountBilled, 125.0);
        QCOMPARE(read->DateDue, DueDate(Today, 10));
        QCOMPARE(*Must(ReadBalance("C"))->Balance, 125.0);
        QCOMPARE(*Must(ReadBalance("B"))->Balance, 5.0);
    }

    void aFailureOnTheNthInvoiceStoresNone() {
        addDue({"A", "B", "C"});
        // The last number an invoice number holds exactly goes to the first invoice; the
        // second has none left.
        QVERIFY(AddInvoice(folder->database(), {.number = "9007199254740991", .account = "X"}));
        BookSession session(folder->database());
        const BillingPlan plan = Must(PlanBillingRun(Today, 0));
        const auto stored = StoreBillingRun(plan.rows, 0);
        QVERIFY(!stored);
        QVERIFY(stored.error().startsWith("No invoice number is left for account B."));
        QVERIFY(stored.error().endsWith("No invoice of the run was stored."));
        QCOMPARE(Must(AllInvoices()).size(), std::size_t(1));
        QCOMPARE(*Must(ReadBalance("A"))->Balance, 5.0);
    }

    void refusalsStoreNothing() {
        addDue({"A", "B"});
        BookSession session(folder->database());
        BillingPlan plan = Must(PlanBillingRun(Today, 0));
        plan.rows[1].line.description = "  ";
        auto stored = StoreBillingRun(plan.rows, 0);
        QCOMPARE(stored.error(), QString("Account B: Please enter a value for Unit Description. "
                                         "Nothing was stored."));
        for (PlannedInvoice& row : plan.rows)
            row.ticked = false;
        stored = StoreBillingRun(plan.rows, 0);
        QCOMPARE(stored.error(), QString("No invoice is ticked, so nothing was stored."));
        QVERIFY(Must(AllInvoices()).empty());
    }
};

PELLORY_BOOK_TEST_MAIN(BillingRunTest)
#include "test_billingrun.moc"
