// The road of one invoice: saved, printed on a real printer queue, and backed up.
#include "books.h"
#include "booksession.h"
#include "columns.h"
#include "formats.h"
#include "frmInvoice.h"
#include "invoicelines.h"
#include "invoicepdf.h"
#include "invoicereprint.h"
#include "invoices.h"
#include "invoicesheet.h"
#include "modCommand.h"
#include "modExcel.h"
#include "modRegEdit.h"
#include "officeprobe.h"
#include "privatecups.h"
#include "settings.h"
#include "settingvalues.h"
#include "statements.h"
#include "testsupport.h"
#include "windowtoolbar.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTimer>
#include <csignal>

namespace {
const QString Queue = QStringLiteral("pellory-invoice-printer");

QVariant lastInvoice() {
    return regGet_KeyValue(HKEY_LOCAL_MACHINE, MainSettingsKey, setting::LastInvoice);
}

QString cell(const QList<QStringList>& rows, int row, int column) {
    return rows.value(row - 1).value(column - 1);
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class InvoicePrintTest : public QObject {
    Q_OBJECT

    QTemporaryDir officeTemp_;
    std::unique_ptr<PrivateCups> cups_;
    std::unique_ptr<ProgramFolderFixture> folder_;

    // Opens the window on an account and chooses one of its commands, answering the prompts.
    void run(const QString& account, const QString& command, PromptRecorder& prompts,
             const std::function<void(frmInvoice&)>& entries = {}) {
        frmInvoice window;
        window.Tag = account;
        window.show();
        QApplication::processEvents();
        if (entries)
            entries(window);
        window.Toolbar1->button(command)->trigger();
        QVERIFY(!window.isVisible());
        Q_UNUSED(prompts);
    }

    PrinterChoice ourPrinter(int copies = 1) const { return {Queue, copies}; }

    // Kills every office of this suite, as a crash or the system would.
    void killOffices() const {
        for (const int pid : ProcessesMentioning(officeTemp_.path()))
            ::kill(pid, SIGKILL);
    }

    // Runs then() when the user has chosen the printer, before the page goes out.
    static void onPrinterChosen(const std::function<void()>& then) {
        Prompts().printer = [then, answer = Prompts().printer](QWidget* owner, int copies) {
            then();
            return answer(owner, copies);
        };
    }

    void addFixedAccount(const QString& account) {
        QVERIFY(AddAccount(folder_->database(), {.account = account,
                                                 .name = "Acme Tools",
                                                 .invoiceType = 1,
                                                 .fixedAmount = 80,
                                                 .balance = 20,
                                                 .lastDescription = "Month"}));
    }

  private slots:
    void initTestCase() {
        const QString rig = StartPrintingRig(cups_, officeTemp_, Queue);
        QVERIFY2(rig.isEmpty(), qPrintable(rig));
    }

    void init() {
        folder_ = std::make_unique<ProgramFolderFixture>();
        QVERIFY(QFile::copy(QStringLiteral(PELLORY_BUILT_PROGRAM_FOLDER "/pellory.xls"),
                            folder_->file("pellory.xls")));
        QFile::setPermissions(folder_->file("pellory.xls"), QFile::ReadOwner | QFile::WriteOwner);
        LoadSettings();
    }

    void cleanup() {
        xlsEnd_Office();
        folder_.reset();
        QCOMPARE(ProcessesMentioning(officeTemp_.path()), QList<int>());
    }

    void roadOfOneInvoice() {
        const QString db = folder_->database();
        QVERIFY(AddAccount(db, {.account = "ACME-7",
                                .name = "Acme Tools",
                                .invoiceType = 2,
                                .unitPrice = 40,
                                .balance = 25,
                                .lastDescription = "Hours",
                                .email = "acme@example.com"}));
        const int jobsBefore = cups_->FinishedJobs(Queue);
        PromptRecorder prompts;
        prompts.answers = {QMessageBox::Yes, QMessageBox::No};
        prompts.printers = {ourPrinter(2)};
        QString due;
        run("ACME-7", "OK", prompts, [&](frmInvoice& w) {
            w.TEXT_Units->setText("2.5");
            due = w.TEXT_DateDue->text();
        });

        // Once printed, a customer with an email address may be sent the invoice too.
        QCOMPARE(prompts.messages.size(), std::size_t(2));
        QVERIFY(prompts.lastMessage().startsWith("Email invoice 0000001 to acme@example.com now?"));
        QCOMPARE(prompts.messages[0].title, QString("Please Confirm"));
        QCOMPARE(prompts.messages[0].text,
                 "Please confirm the following invoice summary...\n\nDate Payment Due: " + due +
                     "\nPrevious Balance: 25.00\nNew Charges: 100.00\nAmount Billed: 125.00");
        QCOMPARE(prompts.printDialogCopies, std::vector<int>{2});

        QCOMPARE(ReadValue(db, sql::SelectBalance, {"ACME-7"}, col::Balance), QVariant(125.0));
        QCOMPARE(ReadValue(db, sql::SelectBalance, {"ACME-7"}, col::DateLastUpdated),
                 QVariant(DateToStored(QDate::currentDate())));
        const auto invoice = [&](int position) {
            return ReadValue(db, sql::SelectInvoice, {"0000001"}, position);
        };
        QCOMPARE(invoice(col::InvoiceAccount), QVariant("ACME-7"));
        QCOMPARE(invoice(col::DateBilled), QVariant(DateToStored(QDate::currentDate())));
        QVERIFY(invoice(col::CheckNumber).isNull());
        QCOMPARE(invoice(col::DateDue), QVariant(DateToStored(*ParseDate(due))));
        QVERIFY(invoice(col::DateRecieved).isNull());
        QCOMPARE(invoice(col::PastDue), QVariant(25.0));
        QCOMPARE(invoice(col::AmountBilled), QVariant(125.0));
        QCOMPARE(invoice(col::AmountRecieved), QVariant(0.0));
        QCOMPARE(lastInvoice(), QVariant(1));
        QVERIFY(contents(LogFilePath()).contains(", Created invoice# 0000001, billed$ 125.00\r\n"));

        QCOMPARE(cups_->FinishedJobs(Queue), jobsBefore + 1);
        const QStringList pages = PdfPages(cups_->OutputFile(Queue));
        QCOMPARE(pages.size(), 2);
        QVERIFY2(pages[0].contains("0000001") && pages[0].contains("ACME-7") &&
                     pages[0].contains("125.00") && pages[0].contains("Acme Tools"),
                 qPrintable(pages[0]));

        // Beside the backup copy, the invoice as printed: one copy's pages, as a PDF.
        const QStringList pdf = PdfPages(InvoicePdfPath("0000001"));
        QCOMPARE(pdf.size(), pages.size() / 2);
        QVERIFY2(pdf[0].contains("0000001") && pdf[0].contains("ACME-7") &&
                     pdf[0].contains("125.00") && pdf[0].contains("Acme Tools"),
                 qPrintable(pdf.join("")));

        const QList<QStringList> cells = FirstSheetCells(InvoiceBackupPath("0000001"));
        QCOMPARE(cell(cells, 5, 10), QString("\"0000001\""));
        QCOMPARE(cell(cells, 8, 10), QString("\"ACME-7\""));
        QCOMPARE(cell(cells, 22, 1), QString("\"2.5\""));
        QCOMPARE(cell(cells, 22, 10), QString("\"100.00\""));
        QCOMPARE(cell(cells, 49, 10), QString("\"125.00\""));
        QCOMPARE(cell(cells, 13, 1), QString("\"Acme Tools\""));
        QCOMPARE(cell(cells, 57, 10), '"' + Settings().GUID + '"');
    }

    void cancelledPrintStillSavesAndBacksUp() {
        QVERIFY(AddAccount(
            folder_->database(),
            {.account = "C1", .invoiceType = 1, .fixedAmount = 80, .lastDescription = "Month"}));
        QCOMPARE(regSet_KeyValue(HKEY_LOCAL_MACHINE, MainSettingsKey, setting::LastInvoice, 40), 0);
        const int jobsBefore = cups_->FinishedJobs(Queue);
        PromptRecorder prompts;
        prompts.answers = {QMessageBox::Yes}; // no printer answer: the dialog is cancelled
        run("C1", "OK", prompts);
        // The user is told the invoice is stored but not printed, and is asked nothing more.
        QCOMPARE(prompts.messages.size(), std::size_t(2));
        QCOMPARE(prompts.lastMessage(),
                 QString("Invoice 0000041 is stored and the balance updated; it was not printed. "
                         "Reprint Invoice on its node prints it."));
        QCOMPARE(CountRows(folder_->database(), sql::SelectInvoice, {"0000041"}), 1);
        QCOMPARE(lastInvoice(), QVariant(41));
        QCOMPARE(cups_->FinishedJobs(Queue), jobsBefore);
        const QList<QStringList> cells = FirstSheetCells(InvoiceBackupPath("0000041"));
        QCOMPARE(cell(cells, 22, 10), QString("\"80.00\""));
        QVERIFY(PdfPages(InvoicePdfPath("0000041")).join("").contains("80.00"));

        // A PDF that cannot be written stops nothing: the invoice is stored and backed up.
        QVERIFY(QDir().mkpath(InvoicePdfPath("0000042"))); // a folder where the file would go
        QTest::ignoreMessage(
            QtWarningMsg, QRegularExpression("^The PDF of invoice 0000042 could not be written"));
        prompts.answers = {QMessageBox::Yes};
        prompts.messages.clear();
        run("C1", "OK", prompts);
        QCOMPARE(prompts.messages.size(), std::size_t(2));
        QCOMPARE(CountRows(folder_->database(), sql::SelectInvoice, {"0000042"}), 1);
        QCOMPARE(cell(FirstSheetCells(InvoiceBackupPath("0000042")), 22, 10), QString("\"80.00\""));
        QCOMPARE(QDir(folder_->file("backup")).entryList(QDir::Files | QDir::Hidden),
                 QStringList({"Inv0000041.pdf", "Inv0000041.xls", "Inv0000042.xls"}));

        // Without the backup folder no copy is made, and nothing is said of it.
        QVERIFY(QDir(folder_->file("backup")).removeRecursively());
        prompts.answers = {QMessageBox::Yes};
        prompts.messages.clear();
        run("C1", "OK", prompts);
        QCOMPARE(prompts.messages.size(), std::size_t(2));
        QCOMPARE(CountRows(folder_->database(), sql::SelectInvoice, {"0000043"}), 1);
        QVERIFY(!QFile::exists(InvoiceBackupPath("0000043")));
        QVERIFY(!QFile::exists(InvoicePdfPath("0000043")));
    }

    void duplicateNumberWritesAndPrintsNothing() {
        QVERIFY(AddAccount(folder_->database(), {.account = "D1", .balance = 10}));
        QVERIFY(AddInvoice(folder_->database(), {.number = "0000007", .account = "D1"}));
        PromptRecorder prompts;
        prompts.answers = {QMessageBox::Yes};
        prompts.printers = {ourPrinter()};
        run("D1", "OK", prompts, [](frmInvoice& w) {
            w.TEXT_Invoice->setText("0000007");
            w.TEXT_Payment->setText("5");
            w.COMBO_Description->setCurrentText("Visit");
        });
        // The next free number is offered, as when another desk has just taken this one.
        QCOMPARE(prompts.lastMessage(),
                 QString("The invoice number already exist, cannot continue\n\nAnother desk may "
                         "have just stored it. The next free number, 0000008, is now in the "
                         "Invoice Number box: print again to use it."));
        QCOMPARE(prompts.messages.back().icon, QMessageBox::Critical);
        QVERIFY(prompts.printDialogCopies.empty());
        QCOMPARE(ReadValue(folder_->database(), sql::SelectBalance, {"D1"}, col::Balance),
                 QVariant(10.0));
        QCOMPARE(CountRows(folder_->database(), sql::SelectAllInvoices), 1);
        QVERIFY(!QFile::exists(InvoiceBackupPath("0000007")));
        QVERIFY(!QFile::exists(LogFilePath()));
    }

    void failedRecordWriteLeavesTheBalance() {
        QVERIFY(AddAccount(folder_->database(), {.account = "F1", .balance = 10}));
        { // a book whose invoice table lost its last column
            QSqlDatabase book = QSqlDatabase::addDatabase("QSQLITE", "alter");
            book.setDatabaseName(folder_->database());
            QVERIFY(book.open());
            QVERIFY(QSqlQuery(book).exec("ALTER TABLE tbl_Invoices DROP COLUMN AmountRecieved"));
            book.close();
        }
        QSqlDatabase::removeDatabase("alter");
        PromptRecorder prompts;
        prompts.answers = {QMessageBox::Yes};
        prompts.printers = {ourPrinter()};
        run("F1", "OK", prompts, [](frmInvoice& w) {
            w.TEXT_Payment->setText("5");
            w.COMBO_Description->setCurrentText("Visit");
        });
        QVERIFY2(prompts.lastMessage().startsWith(
                     "Error saving to database!\n\ndaoWrite_DBTableRecord(), Error = 1 : "),
                 qPrintable(prompts.lastMessage()));
        QCOMPARE(ReadValue(folder_->database(), sql::SelectBalance, {"F1"}, col::Balance),
                 QVariant(10.0));
        QVERIFY(!lastInvoice().isValid());
        QVERIFY(prompts.printDialogCopies.empty());
        QVERIFY(!QFile::exists(InvoiceBackupPath("0000001")));
    }

    void blankInvoiceRaisesTheNumberOnly() {
        QVERIFY(AddAccount(folder_->database(), {.account = "B1", .balance = 33.5}));
        QCOMPARE(regSet_KeyValue(HKEY_LOCAL_MACHINE, MainSettingsKey, setting::LastInvoice, 4), 0);
        const int jobsBefore = cups_->FinishedJobs(Queue);
        PromptRecorder prompts;
        prompts.printers = {ourPrinter()};
        run("B1", "Blank", prompts, [](frmInvoice& w) { w.TEXT_Invoice->setText("9"); });
        QCOMPARE(prompts.messages.size(), std::size_t(1));
        QVERIFY(prompts.messages[0].text.startsWith(
            "A blank invoice will be printed. This is usefull for\nentering invoice"));
        QCOMPARE(prompts.messages[0].icon, QMessageBox::Information);
        QCOMPARE(lastInvoice(), QVariant(9));
        // The number typed is stored and printed in its usual form.
        QVERIFY(contents(LogFilePath()).contains(", Printed Blank Invoice# 0000009\r\n"));
        QCOMPARE(CountRows(folder_->database(), sql::SelectAllInvoices), 0);
        QCOMPARE(ReadValue(folder_->database(), sql::SelectBalance, {"B1"}, col::Balance),
                 QVariant(33.5));
        QVERIFY(!QFile::exists(InvoiceBackupPath("0000009")));
        QVERIFY(!QFile::exists(InvoicePdfPath("0000009")));
        QCOMPARE(cups_->FinishedJobs(Queue), jobsBefore + 1);
        const QString page = PdfPages(cups_->OutputFile(Queue)).value(0);
        QVERIFY2(page.contains("33.50") && page.contains("B1"), qPrintable(page));
    }

    // An office that dies after the invoice was stored: the user learns it is stored, and
    // prints it again without storing anything.
    void officeKilledAfterStoringThenReprinted() {
        addFixedAccount("K1");
        PromptRecorder prompts;
        prompts.answers = {QMessageBox::Yes};
        prompts.printers = {ourPrinter()};
        onPrinterChosen([this] { killOffices(); });
        run("K1", "OK", prompts);
        QCOMPARE(prompts.lastMessage(),
                 "Error printing excel worksheet [sheet1]" + InvoiceStoredNote("0000001"));
        QVERIFY(
            prompts.lastMessage().contains("Invoice 0000001 is stored and the balance updated"));
        QCOMPARE(ReadValue(folder_->database(), sql::SelectBalance, {"K1"}, col::Balance),
                 QVariant(100.0));

        PromptRecorder again;
        again.printers = {ourPrinter()};
        const int jobsBefore = cups_->FinishedJobs(Queue);
        ReprintInvoice(nullptr, "0000001");
        QCOMPARE(again.messages.size(), std::size_t(0));
        QCOMPARE(cups_->FinishedJobs(Queue), jobsBefore + 1);
        const QString page = PdfPages(cups_->OutputFile(Queue)).value(0);
        QVERIFY2(page.contains("0000001") && page.contains("Acme Tools") &&
                     page.contains("20.00") && page.contains("80.00") && page.contains("100.00") &&
                     page.contains("Month"),
                 qPrintable(page));
        QCOMPARE(CountRows(folder_->database(), sql::SelectAllInvoices), 1);
        QCOMPARE(ReadValue(folder_->database(), sql::SelectBalance, {"K1"}, col::Balance),
                 QVariant(100.0));
        QCOMPARE(lastInvoice(), QVariant(1));
        QCOMPARE(contents(LogFilePath()).count("Reprinted invoice#"), 1);
        QVERIFY(contents(LogFilePath()).contains(", Reprinted invoice# 0000001\r\n"));
        // The copy the failed print could not leave is made now.
        QCOMPARE(cell(FirstSheetCells(InvoiceBackupPath("0000001")), 29, 10),
                 QString("\"100.00\""));
    }

    void officeKilledWhileSavingAfterAGoodPrint() {
        addFixedAccount("S1");
        PromptRecorder prompts;
        prompts.answers = {QMessageBox::Yes};
        prompts.printers = {ourPrinter()};
        const int jobsBefore = cups_->FinishedJobs(Queue);
        // Once the page is in the queue, the office dies in the pause before the save.
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (cups_->Jobs(Queue) > jobsBefore) {
                watch.stop();
                QTimer::singleShot(300, [this] { killOffices(); });
            }
        });
        onPrinterChosen([&watch] { watch.start(20); });
        run("S1", "OK", prompts);
        QCOMPARE(prompts.lastMessage(),
                 "The page was printed, but backup/Inv0000001.xls could not be written." +
                     InvoiceStoredNote("0000001"));
        QCOMPARE(cups_->FinishedJobs(Queue), jobsBefore + 1);
        QVERIFY(!QFile::exists(InvoiceBackupPath("0000001")));
    }

    // The chosen printer, not one whose name contains it; its stopped queue is told of.
    void stoppedChosenPrinterHoldsTheJob() {
        for (const QString& queue : {QStringLiteral("Office"), QStringLiteral("BackOffice")}) {
            const QString added = cups_->AddQueue(queue);
            QVERIFY2(added.isEmpty(), qPrintable(added));
        }
        const QString stopped = cups_->StopQueue("Office");
        QVERIFY2(stopped.isEmpty(), qPrintable(stopped));
        addFixedAccount("P1");
        PromptRecorder prompts;
        prompts.answers = {QMessageBox::Yes};
        prompts.printers = {{"Office", 1}};
        run("P1", "OK", prompts);
        QVERIFY2(prompts.lastMessage().contains(
                     "The job is waiting in that printer's queue and prints once the printer is "
                     "started again."),
                 qPrintable(prompts.lastMessage()));
        QVERIFY(prompts.lastMessage().contains("\"Office\""));
        QCOMPARE(cups_->Jobs("Office"), 1);
        QCOMPARE(cups_->Jobs("BackOffice"), 0);

        // Once it is gone, the user hears so; BackOffice takes nothing in its place.
        const QString removed = cups_->RemoveQueue("Office");
        QVERIFY2(removed.isEmpty(), qPrintable(removed));
        prompts.messages.clear();
        prompts.answers = {QMessageBox::Yes};
        prompts.printers = {{"Office", 1}};
        run("P1", "OK", prompts);
        QCOMPARE(prompts.messages.size(), std::size_t(3));
        QCOMPARE(prompts.messages[1].text, QString("The printer \"Office\" is no longer installed "
                                                   "on this system; nothing was sent to it."));
        QCOMPARE(prompts.messages[2].text,
                 "Error printing excel worksheet [sheet1]" + InvoiceStoredNote("0000002"));
        QCOMPARE(cups_->Jobs("BackOffice"), 0);
    }
    // A stored invoice of taxed lines prints again on the lines form: headings on every page,
    // the stub whole on the last one, the form itself left blank. With PELLORY_SAMPLE_PRINTS
    // set to a folder, the PDFs are kept there (for the README).
    void taxedLinesReprintOnTheLinesForm_data() {
        QTest::addColumn<int>("lineCount");
        QTest::addColumn<int>("pageCount");
        QTest::newRow("three lines") << 3 << 1;
        QTest::newRow("stub moved to a page of its own") << 16 << 2;
        QTest::newRow("lines over two pages") << 40 << 2;
    }

    void taxedLinesReprintOnTheLinesForm() {
        QFETCH(int, lineCount);
        QFETCH(int, pageCount);
        const QString form = folder_->file("pellorylines.xls");
        QVERIFY(
            QFile::copy(QStringLiteral(PELLORY_BUILT_PROGRAM_FOLDER "/pellorylines.xls"), form));
        QFile::setPermissions(form, QFile::ReadOwner | QFile::WriteOwner);
        const QByteArray blank = contents(form);
        addFixedAccount("T1");
        const QStringList kinds{"hedge trimming", "lawn mowing", "green waste removal"};
        std::vector<InvoiceLine> lines;
        for (int i = 1; i <= lineCount; ++i)
            lines.push_back(
                {.description = "Visit " + QString::number(i) + " (" + kinds[i % 3] + ")",
                 .units = double(i % 3 + 1),
                 .rate = 12.35,
                 .taxName = i % 2 ? "VAT 20 %" : "GST 5 %",
                 .taxPercent = i % 2 ? 20.0 : 5.0});
        const InvoiceTotals totals = PriceLines(lines, TaxRounding::PerLine);
        {
            BookSession session(folder_->database());
            InvoiceRecord invoice{.InvoiceNumber = "0000077",
                                  .AccountNumber = "T1",
                                  .DateBilled = QDate(2026, 3, 5),
                                  .DateDue = QDate(2026, 3, 19),
                                  .AmountRecieved = 0.0};
            QCOMPARE(Must(CreateInvoice(invoice, lines, "Visits")), InvoiceStore::Stored);
        }

        PromptRecorder prompts;
        prompts.printers = {ourPrinter()};
        ReprintInvoice(nullptr, "0000077");
        QCOMPARE(prompts.messages.size(), std::size_t(0));
        const QStringList pages = PdfPages(cups_->OutputFile(Queue));
        QCOMPARE(pages.size(), pageCount);
        for (const QString& page : pages)
            QVERIFY2(page.contains("Description") && page.contains("Units"), qPrintable(page));
        // The stub once, whole, on the last page.
        const QString all = pages.join("");
        QCOMPARE(all.count("REMITTANCE"), 1);
        const QString stub = pages.back().section("detach", 1);
        for (const QString& shown :
             {QString("REMITTANCE"), QString("Amount Enclosed"), QString("0000077"),
              FormatMoney(RoundCents(20 + totals.total))})
            QVERIFY2(stub.contains(shown), qPrintable(shown));
        QVERIFY(all.contains(QRegularExpression("Visit " + QString::number(lineCount) + " ")));
        QVERIFY(all.contains(QRegularExpression("Net\\s+" + FormatMoney(totals.net))));
        for (const TaxOfRate& tax : totals.taxes)
            QVERIFY2(all.contains(QRegularExpression(tax.name + "\\s+" + FormatMoney(tax.tax))),
                     qPrintable(all));
        QVERIFY(all.contains(QRegularExpression("New Charges\\s+" + FormatMoney(totals.total))));

        // The copy is of this invoice; the form stays blank.
        QCOMPARE(PdfPages(InvoicePdfPath("0000077")).size(), pageCount);
        QCOMPARE(cell(FirstSheetCells(InvoiceBackupPath("0000077")), 20, 1),
                 QString("\"Visit 1 (lawn mowing)\""));
        QCOMPARE(contents(form), blank);
        const QString keep = qEnvironmentVariable("PELLORY_SAMPLE_PRINTS");
        if (!keep.isEmpty())
            QFile::copy(InvoicePdfPath("0000077"),
                        keep + "/invoice-lines-" + QString::number(lineCount) + ".pdf");
    }
};

PELLORY_TEST_MAIN(InvoicePrintTest)
#include "test_invoiceprint.moc"
