// Summary reports from the report window, printed on a real printer queue.
#include "bookrows.h"
#include "books.h"
#include "frmReport.h"
#include "modCommand.h"
#include "modDAO.h"
#include "modExcel.h"
#include "officeprobe.h"
#include "privatecups.h"
#include "windowtoolbar.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <functional>

namespace {
const QString Queue = QStringLiteral("pellory-report-printer");

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The printed page with its runs of spaces closed up, so a line reads as one text.
QString printedLines(const QString& pdf) {
    QString page = PdfPages(pdf).join('\n');
    page.replace(QRegularExpression(QStringLiteral(" {2,}")), QStringLiteral(" "));
    return page;
}
} // namespace

class ReportTest : public QObject {
    Q_OBJECT

    QTemporaryDir officeTemp_;
    std::unique_ptr<PrivateCups> cups_;
    std::unique_ptr<BookFixture> fixture_;
    QString workbook_;

    void open(frmReport& window) {
        window.show();
        QTRY_VERIFY(window.COMBO_AccountNumber->count() > 0);
    }

    void choose(frmReport& window, const QString& account) {
        window.COMBO_AccountNumber->setCurrentIndex(window.COMBO_AccountNumber->findText(account));
    }

    QAction* printButton(const frmReport& window) { return window.Toolbar1->button("OK"); }

    QString log() const { return QString::fromUtf8(contents(LogFilePath())); }

  private slots:
    void initTestCase() {
        const QString rig = StartPrintingRig(cups_, officeTemp_, Queue);
        QVERIFY2(rig.isEmpty(), qPrintable(rig));
    }

    void init() {
        fixture_ = std::make_unique<BookFixture>();
        workbook_ = fixture_->folder.file("pellory.xls");
        QVERIFY(
            QFile::copy(QStringLiteral(PELLORY_BUILT_PROGRAM_FOLDER "/pellory.xls"), workbook_));
        QFile::setPermissions(workbook_, QFile::ReadOwner | QFile::WriteOwner);
        LoadSettings();
        const QString db = fixture_->folder.database();
        QVERIFY(AddAccount(db, {.account = "1001", .name = "Abbott Plumbing", .balance = 140}));
        QVERIFY(AddAccount(
            db, {.account = "2001", .master = "1001", .name = "Barnes Bakery", .balance = 35}));
        QVERIFY(AddAccount(db, {.account = "1002", .name = "Quiet Account", .balance = 12}));
        QVERIFY(AddInvoice(db, {"0000001", "1001", QDate(2026, 3, 2), {}, {}, 0, 100, 60}));
        QVERIFY(AddInvoice(db, {"0000002", "1001", QDate(2026, 3, 16), {}, {}, 40, 80, 0}));
        QVERIFY(AddInvoice(db, {"0000003", "2001", QDate(2026, 3, 9), {}, {}, 0, 35, 0}));
        QVERIFY(AddInvoice(db, {"0000004", "2001", QDate(2026, 4, 9), {}, {}, 35, 50, 0}));
    }

    void cleanup() {
        fixture_.reset();
        xlsEnd_Office(); // the office kept warm between jobs goes too
        QCOMPARE(ProcessesMentioning(officeTemp_.path()), QList<int>());
    }

    void monthlyReportsPrintTheirOwnFiguresAndLeaveTheTemplate() {
        const QByteArray template_ = contents(workbook_);
        PromptRecorder& prompts = fixture_->prompts;
        frmReport window;
        open(window);
        QVERIFY(!printButton(window)->isEnabled());
        choose(window, "1001");
        QCOMPARE(window.LABEL_Name->text(), QString("< Abbott Plumbing"));
        QVERIFY(printButton(window)->isEnabled());
        window.COMBO_Month->setCurrentIndex(2);
        window.TEXT_Year->setText("2026");

        prompts.printers = {{Queue, 1}, {Queue, 1}};
        const int jobsBefore = cups_->FinishedJobs(Queue);
        printButton(window)->trigger();
        QCOMPARE(prompts.lastMessage(),
                 QString("The report has been created and sent to printer."));
        QCOMPARE(prompts.messages.back().title, QString("Report Complete"));
        QCOMPARE(cups_->FinishedJobs(Queue), jobsBefore + 1);
        QString page = printedLines(cups_->OutputFile(Queue));
        QVERIFY2(page.contains("1001") && page.contains("March 2026") &&
                     page.contains("Abbott Plumbing") && page.contains("Barnes Bakery") &&
                     page.contains("0000003") && !page.contains("0000004") &&
                     page.contains("40.00 215.00 60.00 175.00"),
                 qPrintable(page));
        // The tax column fits beside the others on the page.
        QVERIFY2(page.contains("Tax") && PdfPages(cups_->OutputFile(Queue)).size() == 1,
                 qPrintable(page));
        QVERIFY(log().contains(", Created summary report for account# 1001\r\n"));

        // The second report from the same window starts its totals afresh.
        window.OPTION_Linked[2]->setChecked(true);
        printButton(window)->trigger();
        QCOMPARE(cups_->FinishedJobs(Queue), jobsBefore + 2);
        page = printedLines(cups_->OutputFile(Queue));
        QVERIFY2(page.contains("40.00 180.00 60.00 140.00") && !page.contains("Barnes Bakery"),
                 qPrintable(page));
        QVERIFY(window.isVisible());
        QCOMPARE(contents(workbook_), template_);
    }

    void emptyReportsPrintHeaderAndTotals() {
        PromptRecorder& prompts = fixture_->prompts;
        frmReport window;
        open(window);
        choose(window, "2001");
        window.OPTION_Linked[1]->setChecked(true); // an account with no linked accounts
        window.OPTION_Report[2]->setChecked(true);
        window.TEXT_DateFrom->setText("3/31/2026");
        window.TEXT_DateTo->setText("3/1/2026");
        prompts.printers = {{Queue, 1}};
        const int jobsBefore = cups_->FinishedJobs(Queue);
        printButton(window)->trigger();
        QCOMPARE(cups_->FinishedJobs(Queue), jobsBefore + 1);
        const QString page = printedLines(cups_->OutputFile(Queue));
        QVERIFY2(page.contains("3/31/2026 to 3/1/2026") && !page.contains("Barnes Bakery") &&
                     page.contains("0.00 0.00 0.00 0.00"),
                 qPrintable(page));
    }

    void cancelledOrFailedPrintsLogNothing() {
        const QByteArray template_ = contents(workbook_);
        PromptRecorder& prompts = fixture_->prompts;
        const int jobsBefore = cups_->FinishedJobs(Queue);
        frmReport window;
        open(window);
        choose(window, "1001");
        // The book is read before the print dialog and never held open across it.
        bool bookOpenInDialog = false;
        const auto answer = Prompts().printer;
        Prompts().printer = [&](QWidget* owner, int copies) {
            bookOpenInDialog = bookOpenInDialog || !ConnectedPath().isEmpty();
            return answer(owner, copies);
        };
        printButton(window)->trigger(); // no printer answer: the dialog is cancelled
        QVERIFY(prompts.messages.empty());
        prompts.printers = {{"no-such-printer", 1}};
        printButton(window)->trigger();
        QCOMPARE(prompts.lastMessage(), QString("Error printing excel worksheet [Sheet2]"));
        QCOMPARE(prompts.messages.back().icon, QMessageBox::Critical);
        QCOMPARE(prompts.printDialogCopies.size(), std::size_t(2));
        QVERIFY(!bookOpenInDialog);
        Settings().Worksheet = fixture_->folder.file("missing.xls");
        printButton(window)->trigger();
        QCOMPARE(prompts.lastMessage(),
                 QString("Error loading excel application and target workbook."));
        QCOMPARE(prompts.printDialogCopies.size(), std::size_t(2));
        QCOMPARE(cups_->FinishedJobs(Queue), jobsBefore);
        QVERIFY(!QFile::exists(LogFilePath()));
        QCOMPARE(contents(workbook_), template_);
    }

    // Saved as PDF files the reports are the printed ones, logged as saved; a file that cannot
    // be written leaves nothing and logs nothing.
    void reportsSavedAsPdf() {
        QTemporaryDir out;
        PromptRecorder& prompts = fixture_->prompts;
        frmReport window;
        open(window);
        QAction* save = window.Toolbar1->button("Pdf");
        QVERIFY(!save->isEnabled());
        choose(window, "1001");
        QVERIFY(save->isEnabled());
        window.COMBO_Month->setCurrentIndex(2);
        window.TEXT_Year->setText("2026");
        prompts.files = {out.filePath("march")};
        save->trigger();
        const QString march = out.filePath("march.pdf");
        QCOMPARE(prompts.lastMessage(), "The report has been saved as " + march + ".");
        QString page = printedLines(march);
        QVERIFY2(page.contains("March 2026") && page.contains("Barnes Bakery") &&
                     page.contains("40.00 215.00 60.00 175.00"),
                 qPrintable(page));
        QVERIFY(log().endsWith(", Saved summary report for account# 1001 as PDF\r\n"));

        window.TEXT_DateFrom->setText("3/1/2026");
        window.TEXT_DateTo->setText("3/31/2026");
        prompts.files = {out.filePath("tax.pdf")};
        window.Toolbar1->button("TaxPdf")->trigger();
        page = printedLines(out.filePath("tax.pdf"));
        QVERIFY2(page.contains("Tax Collected") && page.contains("3/1/2026 to 3/31/2026"),
                 qPrintable(page));
        QVERIFY(
            log().endsWith(", Saved tax collected report from 3/1/2026 to 3/31/2026 as PDF\r\n"));

        const QString logged = log();
        prompts.files = {out.filePath("march.pdf/april.pdf")};
        save->trigger();
        QVERIFY2(prompts.lastMessage().endsWith("; nothing was written."),
                 qPrintable(prompts.lastMessage()));
        Settings().Worksheet = fixture_->folder.file("missing.xls");
        prompts.files = {out.filePath("april.pdf")};
        save->trigger();
        QCOMPARE(prompts.lastMessage(), QString("Error loading excel application and target "
                                                "workbook. Nothing was written."));
        QCOMPARE(QDir(out.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList({"march.pdf", "tax.pdf"}));
        QCOMPARE(log(), logged);
        QVERIFY(prompts.printDialogCopies.empty());
    }

    void accountIsCheckedOnceTheUserSettlesOnIt() {
        PromptRecorder& prompts = fixture_->prompts;
        frmReport window;
        open(window);
        QLineEdit* typed = window.COMBO_AccountNumber->lineEdit();
        QTest::keyClicks(typed, "1001");
        QVERIFY(prompts.messages.empty()); // "1", "10" and "100" asked nothing
        QVERIFY(printButton(window)->isEnabled());
        QCOMPARE(window.LABEL_Name->text(), QString("< Abbott Plumbing"));

        typed->clear();
        QTest::keyClicks(typed, "1002"); // an account without invoices
        QCOMPARE(prompts.messages.size(), std::size_t(1));
        QCOMPARE(prompts.messages[0].title, QString("Nothing to Report"));
        QCOMPARE(prompts.messages[0].text,
                 QString("There is no activity for the account specified (no invoices)."));
        QVERIFY(!printButton(window)->isEnabled());

        typed->clear();
        QTest::keyClicks(typed, "99");
        QCOMPARE(prompts.messages.size(), std::size_t(1));
        QTest::keyClick(typed, Qt::Key_Return);
        QCOMPARE(prompts.messages.size(), std::size_t(2));

        // A bad date range is refused before anything is read or printed.
        choose(window, "1001");
        window.OPTION_Report[2]->setChecked(true);
        window.TEXT_DateFrom->setText("13/45/2026");
        printButton(window)->trigger();
        QCOMPARE(prompts.lastMessage(),
                 QString("An invalid Date From was entered, please correct."));
        QVERIFY(prompts.printDialogCopies.empty());
    }

    // A number typed over a checked one is checked when the user leaves the box, by Tab or by
    // clicking another field.
    void leavingTheAccountBoxChecksTheTypedNumber() {
        PromptRecorder& prompts = fixture_->prompts;
        frmReport window;
        open(window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QComboBox* box = window.COMBO_AccountNumber;
        const auto retype = [box](const QString& account) {
            box->setFocus(Qt::OtherFocusReason);
            box->lineEdit()->clear();
            QTest::keyClicks(box->lineEdit(), account);
        };
        const auto leaveAndExpectNothingToReport = [&](const std::function<void()>& leave) {
            retype("1001");
            QVERIFY(printButton(window)->isEnabled());
            retype("99");
            const std::size_t before = prompts.messages.size();
            leave();
            QVERIFY(!box->hasFocus());
            QCOMPARE(prompts.messages.size(), before + 1);
            QCOMPARE(prompts.messages.back().title, QString("Nothing to Report"));
            QVERIFY(!printButton(window)->isEnabled());
        };
        leaveAndExpectNothingToReport(
            [] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); });
        leaveAndExpectNothingToReport([&] { QTest::mouseClick(window.TEXT_Year, Qt::LeftButton); });
        // Back in the box and out again without a change asks nothing more.
        box->setFocus(Qt::OtherFocusReason);
        QTest::mouseClick(window.TEXT_Year, Qt::LeftButton);
        QCOMPARE(prompts.messages.size(), std::size_t(2));
    }
};

PELLORY_TEST_MAIN(ReportTest)
#include "test_report.moc"
