// Emailing an invoice: the user's mail program gets the address, subject, body and PDF exactly
// as given, a missing PDF is made first from the backup workbook, and every refusal says why
// and calls nothing.
#include "bookrows.h"
#include "books.h"
#include "frmInvoice.h"
#include "frmPellory.h"
#include "invoiceemail.h"
#include "invoicepdf.h"
#include "invoicesheet.h"
#include "modExcel.h"
#include "officeprobe.h"
#include "statementpdf.h"
#include "statementsheet.h"
#include "windowtoolbar.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTreeWidget>

class InvoiceMailTest : public QObject {
    Q_OBJECT

    QTemporaryDir temp_; // the offices' profiles, and the mail program standing in for xdg-email
    QByteArray path_ = qgetenv("PATH");
    std::unique_ptr<BookFixture> fixture_;

    // What the mail program was called with, once it has been.
    QStringList mailArguments() const {
        QFile heard(temp_.filePath("arguments"));
        if (!QTest::qWaitFor([&] { return heard.exists(); }) || !heard.open(QIODevice::ReadOnly))
            return {"not called"};
        QStringList values = QString::fromUtf8(heard.readAll()).split(QChar(0));
        values.removeLast();
        return values;
    }

    // The invoice's backup workbook as Print / Save leaves it, its number filled in.
    void addBackupWorkbook(const QString& number) const {
        const QString copy = InvoiceBackupPath(number);
        QVERIFY(QFile::copy(fixture_->folder.file("pellory.xls"), copy));
        QCOMPARE(xlsOpen_Workbook(copy), 0);
        QVERIFY(xlsSet_CellValue(0, 5, 10, "'" + number));
        QVERIFY(xlsClose_Workbook(true));
    }

  private slots:
    void initTestCase() {
        qputenv("TMPDIR", temp_.path().toUtf8());
        // Records its arguments, each ended by a NUL, in a file that appears whole.
        QFile mail(temp_.filePath("xdg-email"));
        QVERIFY(mail.open(QIODevice::WriteOnly));
        mail.write("#!/bin/sh\nprintf '%s\\0' \"$@\" > \"$0.part\" && mv \"$0.part\" \"${0%/*}/"
                   "arguments\"\n");
        mail.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void init() {
        qputenv("PATH", temp_.path().toUtf8() + ':' + path_);
        fixture_ = std::make_unique<BookFixture>();
        QVERIFY(QFile::copy(PELLORY_BUILT_PROGRAM_FOLDER "/pellory.xls",
                            fixture_->folder.file("pellory.xls")));
        QFile::setPermissions(fixture_->folder.file("pellory.xls"),
                              QFile::ReadOwner | QFile::WriteOwner);
    }

    void cleanup() {
        xlsEnd_Office();
        fixture_.reset();
        QFile::remove(temp_.filePath("arguments"));
        qputenv("PATH", path_);
        QCOMPARE(ProcessesMentioning(temp_.path()), QList<int>());
    }

    void popupMakesTheMissingPdfAndHandsOverEveryValueAsIs() {
        const QString marker = temp_.filePath("a-shell-ran");
        const QString address =
            "\"O'Brien \\\"Bros\\\"; $(touch " + marker + ")\" <ob@example.com>";
        const QString payable = "Smith & \"Sons\" `touch " + marker + "` $HOME -x";
        QVERIFY(fixture_->book().addProfile(
            "1001", MasterMarker, "Abbott Plumbing",
            {{QString::number(col::Email), address}, {QString::number(col::PayableTo), payable}}));
        QVERIFY(fixture_->book().addInvoice("0000005", "1001", QVariant()));
        addBackupWorkbook("0000005");

        frmPellory window;
        window.show();
        QTRY_COMPARE(window.StatusPanels[0]->text(), QStringLiteral("Ready"));
        window.Node("[Current]")->setExpanded(true); // its invoices are read when opened
        window.TreeView1->setCurrentItem(window.Node("[InvoiceCurrent]0000005"));
        window.MENUOPT_EmailInvoice->trigger();

        const QString pdf = InvoicePdfPath("0000005");
        QCOMPARE(mailArguments(),
                 QStringList({"--utf8", "--subject", "Invoice 0000005 from " + payable, "--body",
                              "Dear Abbott Plumbing,\n\nPlease find attached invoice 0000005 for "
                              "account 1001.\n\nInvoice total: 110.50\nAmount due: 110.50\n"
                              "Due date: 3/20/2026\n\n"
                              "Thank you,\n" +
                                  payable,
                              "--attach", pdf, "--to", address}));
        QVERIFY2(PdfPages(pdf).join("").contains("0000005"), "the PDF is not the invoice's");
        QVERIFY(fixture_->prompts.messages.empty());
        QVERIFY(!QFile::exists(marker));
    }

    // The offer follows a printed invoice only: an invoice whose printing was cancelled is
    // reprinted first, and the user is told so.
    void cancelledPrintOffersNoEmail() {
        QVERIFY(AddAccount(fixture_->folder.database(), {.account = "C1",
                                                         .invoiceType = 1,
                                                         .fixedAmount = 80,
                                                         .lastDescription = "Month",
                                                         .email = "cole@example.com"}));
        fixture_->prompts.answers = {QMessageBox::Yes, QMessageBox::Yes}; // no printer is chosen
        frmInvoice window;
        window.Tag = "C1";
        window.show();
        QApplication::processEvents();
        window.Toolbar1->button("OK")->trigger();

        QCOMPARE(fixture_->prompts.messages.size(), std::size_t(2));
        QVERIFY(fixture_->prompts.messages[1].text.startsWith(
            "Invoice 0000001 is stored and the balance updated; it was not printed."));
        QCOMPARE(mailArguments(), QStringList("not called"));
    }

    // An account's popup: Email Statement hands the mail program the statement's PDF, made in a
    // folder of its own under the temporary folder; Save Statement as PDF writes where told.
    void popupEmailsAndSavesTheStatement() {
        const QString db = fixture_->folder.database();
        QVERIFY(AddAccount(db, {.account = "1001",
                                .name = "Abbott Plumbing",
                                .balance = 35,
                                .email = "ab@example.com"}));
        QVERIFY(AddInvoice(db, {"0000005", "1001", QDate(2026, 3, 9), {}, {}, 0, 35, 0}));
        QVERIFY(
            QFile::copy(PELLORY_BUILT_PROGRAM_FOLDER "/pellorystmt.xls", StatementWorkbookPath()));
        frmPellory window;
        window.show();
        QTRY_COMPARE(window.StatusPanels[0]->text(), QStringLiteral("Ready"));
        window.TreeView1->setCurrentItem(window.Node("[Master]1001"));
        fixture_->prompts.inputs = {QString(), QString()}; // the whole history, twice
        window.MENUOPT_EmailStatement->trigger();

        const QStringList arguments = mailArguments();
        QCOMPARE(arguments.value(8), QString("ab@example.com"));
        const QFileInfo pdf(arguments.value(6));
        QCOMPARE(pdf.fileName(),
                 "Statement 1001 " + QDate::currentDate().toString(Qt::ISODate) + ".pdf");
        QCOMPARE(pdf.dir().dirName().left(18), QString("pellory-statement-"));
        QCOMPARE(QFileInfo(pdf.absolutePath()).absolutePath(),
                 QFileInfo(temp_.path()).absoluteFilePath());
        const QString emailed = PdfPages(pdf.filePath()).join("");
        QVERIFY2(emailed.contains("Abbott Plumbing") && emailed.contains("0000005"),
                 qPrintable(emailed));

        fixture_->prompts.files = {temp_.filePath("saved.pdf")};
        window.MENUOPT_SaveStatementPdf->trigger();
        QCOMPARE(fixture_->prompts.lastMessage(),
                 "The statement has been saved as " + temp_.filePath("saved.pdf") + ".");
        QCOMPARE(PdfPages(temp_.filePath("saved.pdf")).join(""), emailed);
        QVERIFY(QDir(pdf.absolutePath()).removeRecursively());
    }

    void eachRefusalSaysWhyAndCallsNothing() {
        const TestBook book = fixture_->book();
        QVERIFY(book.addProfile("1001", MasterMarker, "No Address"));
        QVERIFY(book.addInvoice("0000001", "1001", QVariant()));
        QVERIFY(book.addProfile("1002", MasterMarker, "Has Address",
                                {{QString::number(col::Email), "has@example.com"}}));
        QVERIFY(book.addInvoice("0000002", "1002", QVariant()));
        addBackupWorkbook("0000001");
        const auto refusal = [&](const QString& number) {
            fixture_->prompts.messages.clear();
            EmailInvoice(nullptr, number);
            const auto& shown = fixture_->prompts.messages;
            return shown.size() == 1 ? shown[0].text : QString("%1 messages").arg(shown.size());
        };

        QVERIFY(refusal("0000001").startsWith("Account 1001 has no email address in its profile, "
                                              "so invoice 0000001 was not emailed."));
        QCOMPARE(refusal("0000002"),
                 "Invoice 0000002 has no PDF and no backup workbook to make one from (" +
                     InvoiceBackupPath("0000002") + "), so it was not emailed.");
        addBackupWorkbook("0000002");
        qputenv("PATH", temp_.filePath("nothing-here").toUtf8());
        QVERIFY(refusal("0000002").startsWith(
            "No mail program was found, so invoice 0000002 was not emailed."));
        QVERIFY(refusal("0000003").startsWith("Invoice 0000003 or its account could not be read"));

        fixture_->prompts.inputs = {QString()};
        fixture_->prompts.messages.clear();
        EmailStatement(nullptr, "1001");
        QCOMPARE(fixture_->prompts.lastMessage().section("\n", 0, 0),
                 "Account 1001 has no email address in its profile, so the statement of account "
                 "1001 was not emailed.");

        QCOMPARE(mailArguments(), QStringList("not called"));
        QCOMPARE(QDir(temp_.path()).entryList({"pellory-statement-*"}, QDir::Dirs), QStringList());
        QVERIFY(!QFile::exists(InvoicePdfPath("0000001")));
        QVERIFY(!QFile::exists(InvoicePdfPath("0000002")));
    }
};

PELLORY_TEST_MAIN(InvoiceMailTest)
#include "test_invoicemail.moc"
