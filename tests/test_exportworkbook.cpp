// The export as one workbook, written by a real office and read back by another: the values of
// the CSV files, text never taken for a formula, numbers and days stored as such.
#include "bookexport.h"
#include "bookrows.h"
#include "csvfile.h"
#include "exportworkbook.h"
#include "frmExport.h"
#include "modExcel.h"
#include "officeprobe.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <unistd.h>

namespace {

// Text a spreadsheet or a CSV reader could stumble on, in every kind of column.
BookExport hostileBook() {
    ProfileRecord account;
    account.AccountNumber = "1001";
    account.MasterAccount = MasterMarker;
    account.CustomerName = "=HYPERLINK(\"http://example.com\")";
    account.Email = "@evil";
    account.Phone = "+1 555 0100";
    account.Address = {"1 Mill Lane\nLeeds", "Smith, \"Jr\"", "-2+3", "Zoë Ørsted 東京"};
    account.BusinessClass = "=1+1";
    account.Comments = QStringLiteral("ab,\"\n").repeated(2500); // 10,000 characters
    account.PaymentAmount = 12.5;

    InvoiceRecord refund;
    refund.InvoiceNumber = "-0000003";
    refund.AccountNumber = "1001";
    refund.DateBilled = QDate(2026, 2, 28);
    refund.DateDue = QDate(2026, 3, 14);
    refund.AmountBilled = -12.35;
    refund.CheckNumber = "@chk, 12";

    BalanceRecord balance{"1001", 1234567.5, "+hours", QDate(2026, 1, 1), QDate()};
    BookExport book;
    book.accounts = {account};
    book.invoices = {refund};
    book.lines = {{"-0000003", 1, {"=Labour, \"extra\"", 1.5, 10.0, 15.0, "VAT 20 %", 20.0, 3.0}}};
    book.balances = {balance};
    return book;
}

// A CSV field as the workbook holds it: without the apostrophe that keeps a formula out.
QString unneutralised(const QString& field) {
    if (field.size() > 1 && field.front() == '\'' &&
        QStringLiteral("=+-@\t\r").contains(field.at(1)))
        return field.mid(1);
    return field;
}

QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

} // namespace

class ExportWorkbookTest : public QObject {
    Q_OBJECT

    QTemporaryDir officeTemp_; // every office of ours keeps its profile below this

  private slots:
    void initTestCase() { qputenv("TMPDIR", officeTemp_.path().toUtf8()); }

    void cleanupTestCase() {
        xlsEnd_Office();
        QTRY_VERIFY(ProcessesMentioning(officeTemp_.path()).isEmpty());
    }

    // Each sheet, read back through the office, holds the values of its CSV file.
    void sheetsHoldWhatTheFilesHold() {
        const QTemporaryDir out;
        const BookExport book = hostileBook();
        QVERIFY(WriteBookExport(book, out.path()));
        const QString workbook = out.filePath(WorkbookFileName);
        const WorkbookWritten written = WriteExportWorkbook(ExportTables(book), workbook);
        QVERIFY2(written, qPrintable(written.failure));
        QCOMPARE(entriesOf(out.path()), QStringList({"accounts.csv", "balances.csv", "books.ods",
                                                     "invoice_lines.csv", "invoices.csv"}));

        const QMap<QString, QByteArray> sheets = SheetsAsCsv(workbook);
        QCOMPARE(sheets.keys(), QStringList({"accounts", "balances", "invoice_lines", "invoices"}));
        for (const ExportTable& table : ExportTables(book)) {
            QFile file(out.filePath(table.name + ".csv"));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const CsvTable expected = Must(ParseCsv(file.readAll()));
            const CsvTable read = Must(ParseCsv(sheets.value(table.name)));
            QCOMPARE(read.header, expected.header);
            QCOMPARE(read.rows.size(), expected.rows.size());
            for (std::size_t r = 0; r < expected.rows.size(); ++r) {
                QStringList shown;
                for (const QString& field : expected.rows[r])
                    shown << unneutralised(field);
                QCOMPARE(read.rows[r], shown);
            }
        }
        // Text comes back quoted as text, amounts and days bare as numbers.
        QVERIFY2(sheets.value("balances").contains("\"1001\",1234567.50,\"+hours\",2026-01-01,"),
                 sheets.value("balances").constData());
        QVERIFY2(sheets.value("invoice_lines")
                     .contains("\"-0000003\",1,\"=Labour, \"\"extra\"\"\",1.5,"
                               "10.00,15.00,\"VAT 20 %\",20,3.00"),
                 sheets.value("invoice_lines").constData());
    }

    // A workbook that cannot be saved leaves nothing behind and says so.
    void aFolderItCannotWriteKeepsNothing() {
        const QTemporaryDir out;
        const std::vector<ExportTable> tables = ExportTables(hostileBook());
        WorkbookWritten written = WriteExportWorkbook(tables, out.filePath("missing/books.ods"));
        QVERIFY(!written);
        QVERIFY2(written.failure.contains("does not exist"), qPrintable(written.failure));
        QCOMPARE(entriesOf(out.path()), QStringList());

        QVERIFY(QDir(out.path()).mkpath("blocked/books.ods"));
        written = WriteExportWorkbook(tables, out.filePath("blocked/books.ods"));
        QVERIFY(!written);
        QVERIFY2(written.failure.contains("could not save"), qPrintable(written.failure));
        QCOMPARE(entriesOf(out.filePath("blocked")), QStringList({"books.ods"}));

        const QString locked = out.filePath("locked");
        QVERIFY(QDir().mkpath(locked));
        QVERIFY(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner));
        if (geteuid() == 0)
            QSKIP("the superuser writes into any folder");
        QVERIFY(!WriteExportWorkbook(tables, locked + "/books.ods"));
        QCOMPARE(entriesOf(locked), QStringList());
    }

    // Export Books... writes the workbook beside the files unless told not to.
    void theWindowWritesTheWorkbookWhenTicked() {
        const BookFixture fixture;
        QVERIFY(fixture.book().addProfile("1001", MasterMarker, "Abbott Plumbing"));
        for (const bool ticked : {false, true}) {
            const QTemporaryDir out;
            frmExport window;
            QVERIFY(window.CHECK_Workbook->isChecked());
            window.CHECK_Workbook->setChecked(ticked);
            window.TEXT_Folder->setText(out.path());
            window.CMD_Export->click();
            QCOMPARE(QFile::exists(out.filePath(WorkbookFileName)), ticked);
            QCOMPARE(QFile::exists(out.filePath(AccountsFileName)), true);
            QCOMPARE(fixture.prompts.lastMessage().contains(
                         "The same tables are in the workbook books.ods, a sheet each."),
                     ticked);
        }
    }
};

PELLORY_TEST_MAIN(ExportWorkbookTest)
#include "test_exportworkbook.moc"
