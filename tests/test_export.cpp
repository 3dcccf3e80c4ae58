// The export for the accountant on real books, without any window: the CSV text of hostile
// values, the period at its edges, a sample book read back from the files, failed writes.
#include "bookexport.h"
#include "booksession.h"
#include "booktesting.h"
#include "formats.h"
#include "invoicelines.h"
#include "samplebook.h"
#include "testbook.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using Rows = std::vector<QStringList>;

// Reads CSV back as a spreadsheet or script would: quoted fields may hold commas, quotes and
// line breaks; every record must end with CRLF.
Rows parseCsv(const QString& text, bool* wellFormed) {
    Rows rows;
    QStringList record;
    QString field;
    bool quoted = false;
    *wellFormed = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"')
                field += c, ++i;
            else if (c == '"')
                quoted = false;
            else
                field += c;
        } else if (c == '"' && field.isEmpty()) {
            quoted = true;
        } else if (c == ',') {
            record << field, field.clear();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            record << field, field.clear();
            rows.push_back(record), record.clear();
            ++i;
        } else if (c == '\r' || c == '\n' || c == '"') {
            *wellFormed = false; // a bare line break or quote outside quotes
            field += c;
        } else {
            field += c;
        }
    }
    if (quoted || !field.isEmpty() || !record.isEmpty())
        *wellFormed = false; // the last record was not ended by CRLF
    return rows;
}

Rows parsed(const QString& text) {
    bool wellFormed = false;
    Rows rows = parseCsv(text, &wellFormed);
    if (!wellFormed)
        qWarning("Not well-formed CSV: %s", qPrintable(text));
    return wellFormed ? rows : Rows();
}

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool writeText(const QString& path, const QByteArray& content) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

InvoiceRecord invoice(const QString& number, const QDate& billed, double amount) {
    InvoiceRecord i;
    i.InvoiceNumber = number;
    i.AccountNumber = QStringLiteral("1001");
    i.DateBilled = billed;
    i.DateDue = billed.isValid() ? billed.addDays(14) : QDate();
    i.PastDue = 0.0;
    i.AmountBilled = amount;
    i.AmountRecieved = 0.0;
    return i;
}

QStringList numbersOf(const std::vector<InvoiceRecord>& invoices) {
    QStringList numbers;
    for (const InvoiceRecord& i : invoices)
        numbers << i.InvoiceNumber;
    return numbers;
}

// Every entry of a folder, hidden scratch files included.
QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

const QStringList ExportFiles{AccountsFileName, BalancesFileName, InvoiceLinesFileName,
                              InvoicesFileName};

} // namespace

class TestExport : public QObject {
    Q_OBJECT

  private slots:
    void csvTextOfHostileValues_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("written");
        QTest::newRow("plain") << "Acme Ltd"
                               << "Acme Ltd";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("comma") << "Smith, John"
                               << "\"Smith, John\"";
        QTest::newRow("quotes doubled") << "the \"big\" one"
                                        << "\"the \"\"big\"\" one\"";
        QTest::newRow("line feed") << "1 Mill Lane\nLeeds"
                                   << "\"1 Mill Lane\nLeeds\"";
        QTest::newRow("CR LF") << "a\r\nb"
                               << "\"a\r\nb\"";
        QTest::newRow("formula") << "=HYPERLINK(\"x\")"
                                 << "\"'=HYPERLINK(\"\"x\"\")\"";
        QTest::newRow("plus") << "+1 555 0100"
                              << "'+1 555 0100";
        QTest::newRow("minus") << "-2+3"
                               << "'-2+3";
        QTest::newRow("at") << "@SUM(A1)"
                            << "'@SUM(A1)";
        QTest::newRow("tab") << "\t=1"
                             << "'\t=1";
        QTest::newRow("carriage return") << "\r=1"
                                         << "\"'\r=1\"";
        QTest::newRow("formula and comma") << "=1,2"
                                           << "\"'=1,2\"";
        QTest::newRow("apostrophe kept") << "'quoted"
                                         << "'quoted";
        QTest::newRow("inside is harmless") << "a=b-c"
                                            << "a=b-c";
        QTest::newRow("not ASCII") << "Zoë Ørsted"
                                   << "Zoë Ørsted";
    }
    void csvTextOfHostileValues() {
        QFETCH(QString, value);
        QFETCH(QString, written);
        QCOMPARE(CsvText(value), written);
    }

    // Whole files: one record per row however hostile the text, CRLF line ends, ISO dates,
    // money with a point and two decimals, a negative amount left a number.
    void filesReadBackAsStored() {
        ProfileRecord master;
        master.AccountNumber = "1001";
        master.MasterAccount = MasterMarker;
        master.CustomerName = "=cmd|' /C calc'!A0";
        master.Address = {"1 Mill Lane\r\nSuite \"B\"", "", "", ""};
        master.PaymentAmount = 12.5;
        master.UnitPrice = QVariant();
        ProfileRecord linked;
        linked.AccountNumber = "1002";
        linked.MasterAccount = "1001";
        linked.CustomerName = "Plain";

        const Rows accounts = parsed(AccountsCsv({master, linked}));
        QCOMPARE(accounts.size(), size_t(3));
        const QStringList& head = accounts[0];
        QCOMPARE(head.size(), 26);
        for (const QStringList& row : accounts)
            QCOMPARE(row.size(), head.size());
        const auto field = [&](const QStringList& row, const char* name) {
            return row.value(head.indexOf(QLatin1String(name)));
        };
        QCOMPARE(field(accounts[1], "MasterAccount"), QString()); // the marker is not a number
        QCOMPARE(field(accounts[2], "MasterAccount"), QStringLiteral("1001"));
        QCOMPARE(field(accounts[1], "CustomerName"), QStringLiteral("'=cmd|' /C calc'!A0"));
        QCOMPARE(field(accounts[1], "Address1"), QStringLiteral("1 Mill Lane\r\nSuite \"B\""));
        QCOMPARE(field(accounts[1], "PaymentAmount"), QStringLiteral("12.50"));
        QCOMPARE(field(accounts[1], "UnitPrice"), QString());

        InvoiceRecord refund = invoice("-0000003", QDate(2026, 2, 28), -12.345);
        refund.CheckNumber = "@chk, 12";
        refund.DateRecieved = QDate(2026, 3, 1);
        refund.AmountRecieved = std::nullopt;
        const QString invoicesText = InvoicesCsv({refund});
        QCOMPARE(invoicesText.count(QStringLiteral("\r\n")), 2);
        const Rows invoices = parsed(invoicesText);
        QCOMPARE(invoices.size(), size_t(2));
        QCOMPARE(invoices[0],
                 QStringList({"InvoiceNumber", "AccountNumber", "DateBilled", "DateDue", "PastDue",
                              "AmountBilled", "DateRecieved", "CheckNumber", "AmountRecieved"}));
        QCOMPARE(invoices[1], QStringList({"'-0000003", "1001", "2026-02-28", "2026-03-14", "0.00",
                                           "-12.35", "2026-03-01", "'@chk, 12", ""}));

        BalanceRecord balance;
        balance.AccountNumber = "1001";
        balance.Balance = 1234567.5;
        balance.LastUnitDescription = "+hours";
        balance.DateCreated = QDate(2026, 1, 1);
        QCOMPARE(BalancesCsv({balance}),
                 QStringLiteral("AccountNumber,Balance,LastUnitDescription,DateCreated,"
                                "DateLastUpdated\r\n1001,1234567.50,'+hours,2026-01-01,\r\n"));

        // For a spreadsheet in a locale with a decimal comma the amount is quoted, not split.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const QString forLocale = BalancesCsv({balance}, ExportNumbers::ForLocale);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(parsed(forLocale)[1],
                 QStringList({"1001", "1234567,50", "'+hours", "2026-01-01", ""}));
    }

    // Both ends belong to the period, either may be left open; an invoice without a billing
    // date is only in the unbounded period.
    void periodAtItsEdges() {
        ProgramFolderFixture folder;
        const TestBook book(folder.database());
        QVERIFY(book.addProfile("1001", MasterMarker, "Edge Co"));
        const std::vector<InvoiceRecord> stored{
            invoice("0000001", QDate(2026, 2, 28), 1.0), invoice("0000002", QDate(2026, 3, 1), 2.0),
            invoice("0000003", QDate(2026, 3, 31), 3.0), invoice("0000004", QDate(2026, 4, 1), 4.0),
            invoice("0000005", QDate(), 5.0)};
        for (const InvoiceRecord& i : stored)
            QVERIFY(book.append(tables::Invoices, i.ToRow()));
        {
            // Lines go with their invoices: those of an invoice outside the period stay out.
            const BookSession writing(folder.database());
            const InvoiceLine taxed{"Parts, \"large\"", 1.5, 10.0, 15.0, "VAT 20 %", 20.0, 3.0};
            QVERIFY(WriteInvoiceLines("0000003", {taxed, {"=Labour", 2, 50, 100, {}, 0, 0}}).ok());
            QVERIFY(WriteInvoiceLines("0000004", {taxed}).ok());
        }

        const BookSession session(folder.database(), true);
        QVERIFY2(session.isOpen(), qPrintable(session.error()));
        const auto within = [](std::optional<QDate> from, std::optional<QDate> to) {
            return numbersOf(Must(InvoicesBilledWithin({from, to})));
        };
        const QDate march1(2026, 3, 1), march31(2026, 3, 31);
        QCOMPARE(within(march1, march31), QStringList({"0000002", "0000003"}));
        QCOMPARE(within(march1, march1), QStringList({"0000002"}));
        QCOMPARE(within(march1, std::nullopt), QStringList({"0000002", "0000003", "0000004"}));
        QCOMPARE(within(std::nullopt, march31), QStringList({"0000001", "0000002", "0000003"}));
        QCOMPARE(within(std::nullopt, std::nullopt),
                 QStringList({"0000001", "0000002", "0000003", "0000004", "0000005"}));
        QCOMPARE(within(QDate(2026, 3, 2), QDate(2026, 3, 30)), QStringList());

        const auto backwards = ReadBookExport({march31, march1});
        QVERIFY(!backwards);
        QVERIFY2(backwards.error().contains("2026-03-01"), qPrintable(backwards.error()));
        QVERIFY(!ReadBookExport({QDate(2026, 2, 30), std::nullopt}));

        // Accounts and balances whatever the period.
        const BookExport read = Must(ReadBookExport({march1, march31}));
        QCOMPARE(read.accounts.size(), size_t(1));
        QCOMPARE(read.balances.size(), size_t(1));
        QCOMPARE(read.invoices.size(), size_t(2));
        QCOMPARE(InvoiceLinesCsv(read.lines),
                 QString("InvoiceNumber,LineNumber,Description,Units,Rate,Amount,TaxName,"
                         "TaxPercent,Tax\r\n"
                         "0000003,1,\"Parts, \"\"large\"\"\",1.5,10.00,15.00,VAT 20 %,20,3.00\r\n"
                         "0000003,2,'=Labour,2,50.00,100.00,,0,0.00\r\n"));
    }

    // The files of a sample book hold what the book holds: every account and balance, the
    // invoices of the period, their sums.
    void sampleBookRoundTrip() {
        ProgramFolderFixture folder;
        const QString sample = folder.file("sample.mdb");
        const SampleBookResult made = WriteSampleBook(sample, {12, 150, 25, 5});
        QVERIFY2(made.error.isEmpty(), qPrintable(made.error));

        const TestBook book(sample);
        const QDate today = QDate::currentDate();
        const ExportPeriod period{QDate(today.year(), today.month(), 1).addMonths(-4),
                                  today.addDays(-20)};
        const auto expected = book.rows("SELECT count(*), total(AmountBilled), "
                                        "total(AmountRecieved) FROM tbl_Invoices "
                                        "WHERE DateBilled BETWEEN ? AND ?",
                                        {*period.from, *period.to});
        const int inPeriod = expected[0][0].toInt();
        QVERIFY(inPeriod > 0 && inPeriod < made.invoices);
        const auto totalBalance = book.rows("SELECT total(Balance) FROM tbl_Logs");

        const QString out = folder.file("export");
        QVERIFY(QDir().mkpath(out));
        QVERIFY(writeText(out + "/invoices.csv", "an older export"));
        {
            const BookSession session(sample, true);
            QVERIFY2(session.isOpen(), qPrintable(session.error()));
            const BookExport read = Must(ReadBookExport(period));
            QVERIFY2(WriteBookExport(read, out), "the export failed");
        }
        QCOMPARE(entriesOf(out), ExportFiles);

        const auto rowsOf = [&](const char* name) {
            const QByteArray bytes = contentOf(out + '/' + name);
            if (bytes.startsWith("\xEF\xBB\xBF"))
                qWarning("%s starts with a byte-order mark", name);
            Rows rows = parsed(QString::fromUtf8(bytes));
            return bytes.startsWith("\xEF\xBB\xBF") ? Rows() : rows;
        };
        const auto sumOf = [](const Rows& rows, const QString& column) {
            const qsizetype at = rows.front().indexOf(column);
            double sum = 0;
            for (std::size_t r = 1; r < rows.size(); ++r)
                sum = RoundCents(sum + rows[r].value(at).toDouble());
            return sum;
        };

        const Rows invoices = rowsOf(InvoicesFileName);
        QCOMPARE(int(invoices.size()) - 1, inPeriod);
        QCOMPARE(sumOf(invoices, "AmountBilled"), RoundCents(expected[0][1].toDouble()));
        QCOMPARE(sumOf(invoices, "AmountRecieved"), RoundCents(expected[0][2].toDouble()));

        const Rows accounts = rowsOf(AccountsFileName);
        QCOMPARE(int(accounts.size()) - 1, made.accounts);
        const Rows balances = rowsOf(BalancesFileName);
        QCOMPARE(int(balances.size()) - 1, made.accounts);
        QCOMPARE(sumOf(balances, "Balance"), RoundCents(totalBalance[0][0].toDouble()));
    }

    // A write that fails part-way keeps nothing of the export: no scratch file, every earlier
    // file as it was, and the message names the file that failed.
    void aFailedWriteKeepsNothing() {
        ProgramFolderFixture folder;
        const TestBook book(folder.database());
        QVERIFY(book.addProfile("1001", MasterMarker, "Acme"));
        BookExport read;
        {
            const BookSession session(folder.database(), true);
            read = Must(ReadBookExport({}));
        }
        for (int i = 0; i < 200; ++i)
            read.invoices.push_back(invoice(QString::number(i), QDate(2026, 3, 1), 10.0));
        const QString out = folder.file("export");
        QVERIFY(QDir().mkpath(out));
        QVERIFY(writeText(out + "/accounts.csv", "older accounts"));

        // Room for the accounts, not for the invoices: the second file fails after the first
        // was written in full.
        const qsizetype limit = AccountsCsv(read.accounts).toUtf8().size() + 100;
        QVERIFY(InvoicesCsv(read.invoices).toUtf8().size() > limit);
        rlimit before{};
        QVERIFY(getrlimit(RLIMIT_FSIZE, &before) == 0);
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = before;
        small.rlim_cur = rlim_t(limit);
        QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
        const Outcome written = WriteBookExport(read, out);
        QVERIFY(setrlimit(RLIMIT_FSIZE, &before) == 0);
        std::signal(SIGXFSZ, previous);

        QVERIFY(!written);
        QVERIFY2(written.error().contains("invoices.csv"), qPrintable(written.error()));
        QVERIFY2(written.error().contains("No file of the export was changed"),
                 qPrintable(written.error()));
        QCOMPARE(entriesOf(out), QStringList({"accounts.csv"}));
        QCOMPARE(contentOf(out + "/accounts.csv"), QByteArray("older accounts"));
    }

    // A folder that cannot be written into keeps nothing; a file that cannot be replaced is
    // named, with what the export already replaced.
    void anUnwritableFolderKeepsNothing() {
        ProgramFolderFixture folder;
        const BookExport empty;
        QVERIFY(!WriteBookExport(empty, folder.file("missing")));

        // A directory where a file goes: its rename fails, after the files renamed before it.
        const QString blocked = folder.file("blocked");
        QVERIFY(QDir().mkpath(blocked + "/balances.csv"));
        Outcome written = WriteBookExport(empty, blocked);
        QVERIFY(!written);
        QVERIFY2(written.error().contains("balances.csv") &&
                     written.error().contains("No file of the export was changed"),
                 qPrintable(written.error()));
        QCOMPARE(entriesOf(blocked), QStringList({"balances.csv"}));

        const QString late = folder.file("late");
        QVERIFY(QDir().mkpath(late + "/accounts.csv"));
        written = WriteBookExport(empty, late);
        QVERIFY(!written);
        QVERIFY2(written.error().contains("accounts.csv") &&
                     written.error().contains("Already replaced by this export") &&
                     written.error().contains("invoices.csv") &&
                     written.error().contains("balances.csv"),
                 qPrintable(written.error()));
        QCOMPARE(entriesOf(late), ExportFiles);

        // The permissions of a folder bind everyone but the superuser.
        const QString locked = folder.file("locked");
        QVERIFY(QDir().mkpath(locked));
        QVERIFY(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner));
        if (geteuid() == 0)
            QSKIP("the superuser writes into any folder");
        written = WriteBookExport(empty, locked);
        QVERIFY(!written);
        QVERIFY2(written.error().contains("accounts.csv"), qPrintable(written.error()));
        QCOMPARE(entriesOf(locked), QStringList());
    }
};

PELLORY_BOOK_TEST_MAIN(TestExport)
#include "test_export.moc"
