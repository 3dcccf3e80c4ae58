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
#include "windowtoolbar.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTreeWidget>

namespace {
// Stands in for xdg-email on PATH and records its arguments, each ended by a NUL.
class RecordingMailProgram {
  public:
    RecordingMailProgram() : path_(qgetenv("PATH")) {
        QFile script(folder_.filePath("xdg-email"));
        script.open(QIODevice::WriteOnly);
        script.write("#!/bin/sh\nprintf '%s\\0' \"$@\" > '" + record().toUtf8() + ".part'\nmv '" +
                     record().toUtf8() + ".part' '" + record().toUtf8() + "'\n");
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", folder_.path().toUtf8() + ':' + path_);
    }
    ~RecordingMailProgram() { qputenv("PATH", path_); }

    // No mail program anywhere on PATH.
    void uninstall() {
        QFile::remove(folder_.filePath("xdg-email"));
        qputenv("PATH", folder_.path().toUtf8());
    }
    bool called() const { return QFile::exists(record()); }
    QStringList arguments() const {
        QFile file(record());
        file.open(QIODevice::ReadOnly);
        QStringList values = QString::fromUtf8(file.readAll()).split(QChar(0));
        values.removeLast();
        return values;
    }

  private:
    QString record() const { return folder_.filePath("arguments"); }

    QTemporaryDir folder_;
    QByteArray path_;
};
} // namespace

class InvoiceMailTest : public QObject {
    Q_OBJECT

    QTemporaryDir officeTemp_;
    std::unique_ptr<BookFixture> fixture_;
    std::unique_ptr<RecordingMailProgram> mail_;

    QString workbook() const { return fixture_->folder.file("pellory.xls"); }

    // The backup workbook of an invoice as Print / Save leaves it, with its number filled in.
    void addBackupWorkbook(const QString& number) const {
        const QString copy = InvoiceBackupPath(number);
        QVERIFY(QFile::copy(workbook(), copy));
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(xlsOpen_Workbook(copy), 0);
        QVERIFY(xlsSet_CellValue(0, 5, 10, "'" + number));
        QVERIFY(xlsClose_Workbook(true));
    }

  private slots:
    void initTestCase() { qputenv("TMPDIR", officeTemp_.path().toUtf8()); }

    void init() {
        fixture_ = std::make_unique<BookFixture>();
        QVERIFY(
            QFile::copy(QStringLiteral(PELLORY_BUILT_PROGRAM_FOLDER "/pellory.xls"), workbook()));
        QFile::setPermissions(workbook(), QFile::ReadOwner | QFile::WriteOwner);
        mail_ = std::make_unique<RecordingMailProgram>();
    }

    void cleanup() {
        xlsEnd_Office();
        mail_.reset();
        fixture_.reset();
        QCOMPARE(ProcessesMentioning(officeTemp_.path()), QList<int>());
    }

    void popupMakesTheMissingPdfAndHandsOverEveryValueAsIs() {
        const QString marker = officeTemp_.filePath("a-shell-ran");
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
        window.TreeView1->setCurrentItem(window.Node("[InvoiceCurrent]0000005"));
        window.MENUOPT_EmailInvoice->trigger();
        QTRY_VERIFY(mail_->called());

        const QString pdf = InvoicePdfPath("0000005");
        QCOMPARE(mail_->arguments(),
                 QStringList({"--utf8", "--subject", "Invoice 0000005 from " + payable, "--body",
                              "Dear Abbott Plumbing,\n\nPlease find attached invoice 0000005 for "
                              "account 1001.\n\nAmount due: 110.50\nDue date: 3/20/2026\n\n"
                              "Thank you,\n" +
                                  payable,
                              "--attach", pdf, "--to", address}));
        QVERIFY2(PdfPages(pdf).join("").contains("0000005"), "the PDF is not the invoice's");
        QVERIFY(fixture_->prompts.messages.empty());
        QVERIFY(!QFile::exists(marker));
    }

    void printSaveOffersTheEmailWithThePdfOfThePrintedSheet() {
        QVERIFY(AddAccount(fixture_->folder.database(), {.account = "C1",
                                                         .name = "Cole Farms",
                                                         .invoiceType = 1,
                                                         .fixedAmount = 80,
                                                         .lastDescription = "Month",
                                                         .email = "cole@example.com"}));
        fixture_->prompts.answers = {QMessageBox::Yes, QMessageBox::Yes}; // the printer is skipped
        frmInvoice window;
        window.Tag = "C1";
        window.show();
        QApplication::processEvents();
        window.Toolbar1->button("OK")->trigger();

        QCOMPARE(fixture_->prompts.messages.size(), std::size_t(2));
        QCOMPARE(fixture_->prompts.messages[1].title, QString("Email Invoice"));
        QVERIFY(fixture_->prompts.messages[1].text.startsWith(
            "Email invoice 0000001 to cole@example.com now?"));
        QTRY_VERIFY(mail_->called());
        const QStringList arguments = mail_->arguments();
        QCOMPARE(arguments.value(2), QString("Invoice 0000001 from Pellory Services"));
        QCOMPARE(arguments.mid(5),
                 QStringList({"--attach", InvoicePdfPath("0000001"), "--to", "cole@example.com"}));
        QVERIFY(PdfPages(InvoicePdfPath("0000001")).join("").contains("80.00"));
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

        QVERIFY(refusal("0000001").startsWith(
            "Account 1001 has no email address in its profile, so invoice 0000001 was not "
            "emailed."));
        QCOMPARE(refusal("0000002"),
                 "Invoice 0000002 has no PDF and no backup workbook to make one from (" +
                     InvoiceBackupPath("0000002") + "), so it was not emailed.");
        addBackupWorkbook("0000002");
        mail_->uninstall();
        QVERIFY(refusal("0000002").startsWith(
            "No mail program was found, so invoice 0000002 was not emailed."));
        QVERIFY(refusal("0000003").startsWith("Invoice 0000003 or its account could not be read"));

        QTest::qWait(500); // a mail program started by mistake would have written by now
        QVERIFY(!mail_->called());
        QVERIFY(!QFile::exists(InvoicePdfPath("0000001")));
        QVERIFY(!QFile::exists(InvoicePdfPath("0000002")));
    }
};

PELLORY_TEST_MAIN(InvoiceMailTest)
#include "test_invoicemail.moc"
