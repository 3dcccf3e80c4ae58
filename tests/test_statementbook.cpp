// What a customer statement holds: running balances, opening and closing balances, aging.
#include "books.h"
#include "booksession.h"
#include "booktesting.h"
#include "customerstatements.h"
#include "invoicemail.h"

namespace {
const QDate Today(2026, 6, 30);

QList<double> balances(const Statement& statement) {
    QList<double> found;
    for (const StatementLine& line : statement.lines)
        found << line.balance;
    return found;
}

QStringList invoicesOf(const Statement& statement) {
    QStringList found;
    for (const StatementLine& line : statement.lines)
        found << line.invoice;
    return found;
}

double sum(const Aging& aging) {
    double total = 0.0;
    for (const double bucket : aging)
        total += bucket;
    return total;
}

// Finds a text anywhere in the sheet plan.
bool planHolds(const StatementSheetPlan& plan, const QString& text) {
    for (const SheetTexts& block : plan.texts)
        for (const QStringList& row : block.texts)
            if (row.contains(text))
                return true;
    return false;
}
} // namespace

class StatementBookTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramFolderFixture> folder_;

    Statement read(const QString& account, const StatementPeriod& period = {}) {
        BookSession session(folder_->database());
        return Must(ReadStatement(account, period, Today));
    }

  private slots:
    void init() {
        folder_ = std::make_unique<ProgramFolderFixture>();
        const QString db = folder_->database();
        // Part payment, overpayment, then a charge the credit partly covers.
        QVERIFY(AddAccount(db, {.account = "3001", .name = "Abbott Plumbing", .balance = 20}));
        QVERIFY(AddInvoice(
            db, {"0000013", "3001", QDate(2026, 3, 5), QDate(2026, 4, 4), {}, -30, 20, 0}));
        QVERIFY(AddInvoice(db, {"0000011", "3001", QDate(2026, 1, 5), QDate(2026, 2, 4),
                                QDate(2026, 1, 20), 0, 100, 60}));
        QVERIFY(AddInvoice(db, {"0000012", "3001", QDate(2026, 2, 5), QDate(2026, 3, 7),
                                QDate(2026, 2, 25), 40, 120, 150}));
        // The same history, but the book's balance was changed by hand.
        QVERIFY(AddAccount(db, {.account = "3002", .balance = 25}));
        QVERIFY(AddInvoice(db, {"0000021", "3002", QDate(2026, 1, 5), {}, {}, 0, 20, 0}));
        // Charges 120, 75, 45 and 10 days past due and one not yet due; 130 paid on the newest.
        QVERIFY(AddAccount(db, {.account = "4001", .balance = 370}));
        QVERIFY(AddInvoice(
            db, {"0000031", "4001", QDate(2026, 2, 1), QDate(2026, 3, 2), {}, 0, 100, 0}));
        QVERIFY(AddInvoice(
            db, {"0000032", "4001", QDate(2026, 3, 17), QDate(2026, 4, 16), {}, 100, 200, 0}));
        QVERIFY(AddInvoice(
            db, {"0000033", "4001", QDate(2026, 4, 16), QDate(2026, 5, 16), {}, 200, 300, 0}));
        QVERIFY(AddInvoice(db, {"0000034", "4001", QDate(2026, 5, 21), QDate(2026, 6, 20),
                                QDate(2026, 6, 25), 300, 400, 130}));
        QVERIFY(AddInvoice(
            db, {"0000035", "4001", QDate(2026, 6, 15), QDate(2026, 7, 15), {}, 270, 370, 0}));
    }

    void runningBalanceFollowsEveryLineInDateOrder() {
        const Statement statement = read("3001");
        QCOMPARE(invoicesOf(statement),
                 QStringList({"0000011", "0000011", "0000012", "0000012", "0000013"}));
        QCOMPARE(statement.lines[1].kind, StatementLineKind::Payment);
        QCOMPARE(statement.lines[2].amount, 80.0); // billed less the balance carried in
        QCOMPARE(balances(statement), QList<double>({100, 40, 120, -30, 20}));
        QCOMPARE(statement.opening, 0.0);
        QCOMPARE(statement.closing, 20.0);
        QCOMPARE(statement.difference(), std::nullopt);
        QCOMPARE(statement.aging[Days61To90], 20.0); // what the credit left of the newest
        QCOMPARE(sum(statement.aging), 20.0);
        QCOMPARE(statement.profile.CustomerName, QString("Abbott Plumbing"));
    }

    void periodCarriesWhatCameBeforeAndEndsWhereItSays() {
        const Statement february = read("3001", {QDate(2026, 2, 1), QDate(2026, 2, 28)});
        QCOMPARE(february.opening, 40.0);
        QCOMPARE(balances(february), QList<double>({120, -30}));
        QCOMPARE(february.date, QDate(2026, 2, 28));
        // A credit owes nothing; a period that ends early is not held against the book.
        QVERIFY(february.isCredit());
        QCOMPARE(sum(february.aging), 0.0);
        QCOMPARE(february.difference(), std::nullopt);
        const StatementSheetPlan plan = PlanStatementSheet(february);
        QVERIFY(planHolds(plan, "'30.00 CR") && planHolds(plan, "'Credit Balance"));
        QVERIFY(!planHolds(plan, "'0.00"));

        const Statement fromMarch = read("3001", {QDate(2026, 3, 1), {}});
        QCOMPARE(fromMarch.opening, -30.0);
        QCOMPARE(balances(fromMarch), QList<double>({20}));
        QCOMPARE(fromMarch.date, Today);
    }

    void closingThatDiffersFromTheBookIsStated() {
        const Statement statement = read("3002");
        QCOMPARE(statement.closing, 20.0);
        QCOMPARE(statement.difference(), std::optional(5.0));
        QVERIFY(planHolds(PlanStatementSheet(statement),
                          "'The balance on the account is 25.00; the lines of this statement "
                          "come to 20.00, a difference of 5.00."));
    }

    void agingClearsOldestFirstAndAddsUp() {
        const Statement statement = read("4001");
        QCOMPARE(statement.closing, 370.0);
        QCOMPARE(statement.aging[Over90], 0.0);      // 120 days: cleared by the payment
        QCOMPARE(statement.aging[Days61To90], 70.0); // 75 days: 30 of it paid
        QCOMPARE(statement.aging[Days31To60], 100.0);
        QCOMPARE(statement.aging[Days1To30], 100.0);
        QCOMPARE(statement.aging[NotYetDue], 100.0);
        QCOMPARE(sum(statement.aging), statement.closing);

        // On 1 June, before the payment and the last invoice: the oldest is 91 days past due.
        const Statement june = read("4001", {{}, QDate(2026, 6, 1)});
        QCOMPARE(june.closing, 400.0);
        QVERIFY(!june.complete);
        QCOMPARE(june.aging, Aging({100, 100, 100, 0, 100}));
    }

    // The email of a statement: addressed and signed from the profile, owed or in credit; every
    // value reaches the mail program as one argument as typed, and the attachment's name holds
    // no folder or option, whatever the account number holds.
    void statementMailAndItsAttachment() {
        Statement statement = read("3001");
        const QString address = "\"O'Brien\"; $(rm -rf ~) <ob@example.com>";
        statement.profile.Email = " " + address + " ";
        statement.profile.PayableTo = "Smith & `Sons` -x";
        MailMessage mail = ComposeStatementMail(statement);
        QCOMPARE(mail.address, address);
        QCOMPARE(mail.subject, "Statement of account 3001 on 6/30/2026 from Smith & `Sons` -x");
        QCOMPARE(mail.body, "Dear Abbott Plumbing,\n\nPlease find attached the statement of "
                            "account 3001 on 6/30/2026.\n\nAmount due: 20.00\n\nThank you,\n"
                            "Smith & `Sons` -x");
        QCOMPARE(MailProgramArguments(mail, "/tmp/a b/-c.pdf"),
                 QStringList({"--utf8", "--subject", mail.subject, "--body", mail.body, "--attach",
                              "/tmp/a b/-c.pdf", "--to", address}));

        Statement february = read("3001", {QDate(2026, 2, 1), QDate(2026, 2, 28)});
        february.profile.CustomerName.clear();
        february.profile.PayableTo.clear();
        mail = ComposeStatementMail(february);
        QCOMPARE(mail.subject, QString("Statement of account 3001 on 2/28/2026"));
        QVERIFY2(mail.body.startsWith("Hello,") && mail.body.contains("Credit balance: 30.00"),
                 qPrintable(mail.body));

        QCOMPARE(StatementPdfName(statement), QString("Statement 3001 2026-06-30.pdf"));
        february.account = "../-r x/\\y";
        QCOMPARE(StatementPdfName(february), QString("Statement .._-r_x__y 2026-02-28.pdf"));
        QCOMPARE(PdfFileName({"..", "-x"}), QString("_.. -x.pdf"));
    }

    void accountsOwingAreThoseAboveZero() {
        const QString db = folder_->database();
        QVERIFY(AddAccount(db, {.account = "5001", .balance = 0}));
        QVERIFY(AddAccount(db, {.account = "5002", .balance = -12.5}));
        BookSession session(db);
        QCOMPARE(Must(ReadAccountsOwing()), QStringList({"3001", "3002", "4001"}));
    }
};

PELLORY_BOOK_TEST_MAIN(StatementBookTest)
#include "test_statementbook.moc"
