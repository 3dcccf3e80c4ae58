// Customer statements printed on a real printer queue, one account or all that owe.
#include "announcer.h"
#include "bookrows.h"
#include "books.h"
#include "modCommand.h"
#include "modExcel.h"
#include "officeprobe.h"
#include "privatecups.h"
#include "statementpdf.h"
#include "statementprint.h"
#include "statementsheet.h"

#include <QApplication>
#include <QProgressDialog>
#include <QWidget>

namespace {
const QString Queue = QStringLiteral("pellory-statement-printer");

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Each printed page with its runs of spaces closed up, so a line reads as one text.
QStringList printedPages(const QString& pdf) {
    QStringList pages = PdfPages(pdf);
    for (QString& page : pages)
        page.replace(QRegularExpression(QStringLiteral(" {2,}")), QStringLiteral(" "));
    return pages;
}

QStringList loggedAccounts(const QString& log) {
    QStringList accounts;
    const QRegularExpression line(QStringLiteral(", Printed statement for account# (\\S+)\r\n"));
    for (auto match = line.globalMatch(log); match.hasNext();)
        accounts << match.next().captured(1);
    return accounts;
}
} // namespace

class StatementTest : public QObject {
    Q_OBJECT

    QTemporaryDir officeTemp_;
    std::unique_ptr<PrivateCups> cups_;
    std::unique_ptr<BookFixture> fixture_;
    QWidget owner_;

    QString log() const { return QString::fromUtf8(contents(LogFilePath())); }

  private slots:
    void initTestCase() {
        const QString rig = StartPrintingRig(cups_, officeTemp_, Queue);
        QVERIFY2(rig.isEmpty(), qPrintable(rig));
    }

    void init() {
        fixture_ = std::make_unique<BookFixture>();
        QVERIFY(QFile::copy(QStringLiteral(PELLORY_BUILT_PROGRAM_FOLDER "/pellorystmt.xls"),
                            StatementWorkbookPath()));
        QFile::setPermissions(StatementWorkbookPath(), QFile::ReadOwner | QFile::WriteOwner);
        const QString db = fixture_->folder.database();
        QVERIFY(AddAccount(db, {.account = "1001", .name = "Abbott Plumbing", .balance = 20}));
        QVERIFY(fixture_->book().append(tables::Invoices,
                                        {"0000001", "1001", QDate(2026, 1, 5), "4471",
                                         QDate(2026, 2, 4), QDate(2026, 1, 20), 0.0, 100.0, 60.0}));
        QVERIFY(AddInvoice(
            db, {"0000002", "1001", QDate(2026, 2, 5), QDate(2026, 3, 7), {}, 40, 60, 0}));
        QVERIFY(AddAccount(db, {.account = "1002", .name = "Paid Up", .balance = 0}));
        QVERIFY(AddAccount(db, {.account = "1003", .name = "In Credit", .balance = -15}));
        QVERIFY(AddAccount(db, {.account = "1004", .name = "Barnes Bakery", .balance = 35}));
        QVERIFY(AddInvoice(db, {"0000003", "1004", QDate(2026, 3, 9), {}, {}, 0, 35, 0}));
    }

    void cleanup() {
        fixture_.reset();
        xlsEnd_Office(); // the office kept warm between jobs goes too
        QCOMPARE(ProcessesMentioning(officeTemp_.path()), QList<int>());
    }

    void statementPrintsLinesAgingAndAmountDueAndLeavesTheForm() {
        const QByteArray form = contents(StatementWorkbookPath());
        PromptRecorder& prompts = fixture_->prompts;
        prompts.inputs = {QString()}; // the whole history
        prompts.printers = {{Queue, 1}};
        const int jobsBefore = cups_->FinishedJobs(Queue);
        PrintStatement(&owner_, "1001");
        QCOMPARE(prompts.lastMessage(),
                 QString("The statement has been created and sent to printer."));
        QCOMPARE(cups_->FinishedJobs(Queue), jobsBefore + 1);
        const QStringList pages = printedPages(cups_->OutputFile(Queue));
        QCOMPARE(pages.size(), 1);
        const QString& page = pages[0];
        QVERIFY2(page.contains("Abbott Plumbing") && page.contains("Pellory Services") &&
                     page.contains("1/5/2026 Invoice 0000001 100.00 100.00") &&
                     page.contains("1/20/2026 Payment received 0000001 4471 60.00 40.00") &&
                     page.contains("2/5/2026 Invoice 0000002 20.00 60.00") &&
                     page.contains("Not yet due 1-30 days 31-60 days 61-90 days Over 90 days\n"
                                   " 0.00 0.00 0.00 0.00 60.00\n") &&
                     page.contains("Amount Due 60.00") && page.contains("a difference of -40.00"),
                 qPrintable(page));
        QCOMPARE(loggedAccounts(log()), QStringList({"1001"}));
        QCOMPARE(contents(StatementWorkbookPath()), form);

        // From February on, January is carried in the opening balance.
        prompts.inputs = {"2/1/2026"};
        prompts.printers = {{Queue, 1}};
        PrintStatement(&owner_, "1001");
        const QString february = printedPages(cups_->OutputFile(Queue)).join('\n');
        QVERIFY2(february.contains("2/1/2026 Opening balance 40.00") &&
                     !february.contains("Payment received") &&
                     february.contains("Period: 2/1/2026 to "),
                 qPrintable(february));

        // A date that is none, or a cancelled print dialog, prints and logs nothing.
        prompts.inputs = {"2/30/2026", QString()};
        PrintStatement(&owner_, "1004");
        QCOMPARE(prompts.lastMessage(), QString("\"2/30/2026\" is not a date; no statement was "
                                                "printed."));
        PrintStatement(&owner_, "1004");
        QCOMPARE(cups_->FinishedJobs(Queue), jobsBefore + 2);
        QCOMPARE(loggedAccounts(log()), QStringList({"1001", "1001"}));
    }

    // Saved as a PDF the statement is the printed one, and logged; a folder that cannot be made
    // or a form that is missing writes nothing, logs nothing, and says the statement was not
    // saved.
    void statementSavedAsPdfIsThePrintedOne() {
        QTemporaryDir out;
        PromptRecorder& prompts = fixture_->prompts;
        prompts.inputs = {QString()};
        prompts.files = {out.filePath("abbott")}; // typed without its extension
        SaveStatementPdf(&owner_, "1001");
        const QString saved = out.filePath("abbott.pdf");
        QCOMPARE(prompts.lastMessage(), "The statement has been saved as " + saved + ".");
        const QString page = printedPages(saved).join('\n');
        QVERIFY2(page.contains("Abbott Plumbing") &&
                     page.contains("1/20/2026 Payment received 0000001 4471 60.00 40.00") &&
                     page.contains("Amount Due 60.00"),
                 qPrintable(page));
        QVERIFY(log().endsWith(", Saved statement for account# 1001 as PDF\r\n"));

        const QString logged = log();
        prompts.inputs = {QString()};
        prompts.files = {out.filePath("abbott.pdf/barnes.pdf")};
        SaveStatementPdf(&owner_, "1004");
        QVERIFY2(
            prompts.lastMessage().startsWith("The statement could not be written as a PDF to " +
                                             out.filePath("abbott.pdf/barnes.pdf")) &&
                prompts.lastMessage().endsWith("the statement was not saved."),
            qPrintable(prompts.lastMessage()));
        QVERIFY(QFile::remove(StatementWorkbookPath()));
        prompts.inputs = {QString()};
        prompts.files = {out.filePath("barnes.pdf")};
        SaveStatementPdf(&owner_, "1004");
        QVERIFY2(prompts.lastMessage().endsWith("; the statement was not saved."),
                 qPrintable(prompts.lastMessage()));
        QCOMPARE(QDir(out.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList("abbott.pdf"));
        QCOMPARE(log(), logged);
    }

    void longHistoryContinuesWithHeadingsRepeated() {
        const QString db = fixture_->folder.database();
        QVERIFY(AddAccount(db, {.account = "2001", .balance = 900}));
        for (int i = 0; i < 90; ++i)
            QVERIFY(AddInvoice(db, {QString("%1").arg(100 + i, 7, 10, QChar('0')),
                                    "2001",
                                    QDate(2025, 1, 1).addDays(i),
                                    {},
                                    {},
                                    10.0 * i,
                                    10.0 * (i + 1),
                                    0}));
        fixture_->prompts.inputs = {QString()};
        fixture_->prompts.printers = {{Queue, 1}};
        PrintStatement(&owner_, "2001");
        const QStringList pages = printedPages(cups_->OutputFile(Queue));
        QVERIFY2(pages.size() >= 2, qPrintable(pages.join("\f")));
        for (const QString& page : pages)
            QVERIFY2(page.contains("Date Description Invoice Check No. Charges Payments Balance"),
                     qPrintable(page));
        QVERIFY(pages.back().contains("Amount Due") && pages.back().contains("0000189"));
    }

    void batchPrintsEveryAccountOwingAndStopsWhenCancelled() {
        PromptRecorder& prompts = fixture_->prompts;
        prompts.inputs = {QString()};
        prompts.printers = {{Queue, 1}};
        const int jobsBefore = cups_->FinishedJobs(Queue);
        PrintStatements(&owner_);
        QCOMPARE(cups_->FinishedJobs(Queue), jobsBefore + 2);
        QCOMPARE(loggedAccounts(log()), QStringList({"1001", "1004"}));
        QCOMPARE(prompts.printDialogCopies.size(), std::size_t(1)); // one printer for the run
        QCOMPARE(prompts.lastMessage(),
                 QString("The statements have been created and sent to printer: 2 statements."));

        // Cancelled after the first statement: the second is never printed.
        QFile::remove(LogFilePath());
        prompts.inputs = {QString()};
        prompts.printers = {{Queue, 1}};
        const auto connection = connect(&Announcements(), &Announcer::lineLogged, this, [this] {
            if (auto* progress = owner_.findChild<QProgressDialog*>(StatementProgressName))
                progress->cancel();
        });
        PrintStatements(&owner_);
        disconnect(connection);
        QCOMPARE(cups_->FinishedJobs(Queue), jobsBefore + 3);
        QCOMPARE(loggedAccounts(log()), QStringList({"1001"}));
        QCOMPARE(
            prompts.lastMessage(),
            QString("Printing of statements was cancelled: 1 statement of 2 sent to printer."));
    }
};

PELLORY_TEST_MAIN(StatementTest)
#include "test_statement.moc"
