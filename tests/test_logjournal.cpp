// The log line of a change to the book survives a program killed between the commit and the
// log write, and a change that never landed is never logged: real books, real killed children.
#include "accounts.h"
#include "balances.h"
#include "booksession.h"
#include "booktesting.h"
#include "customerimport.h"
#include "formats.h"
#include "invoices.h"
#include "loggedchange.h"
#include "modCommand.h"
#include "prompts.h"
#include "settings.h"
#include "testbook.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QThread>
#include <csignal>
#include <cstdio>

namespace {
const QDate Billed(2026, 4, 1);

QStringList logLines() {
    QFile file(LogFilePath());
    QStringList lines;
    if (file.open(QIODevice::ReadOnly))
        for (const QByteArray& line : file.readAll().split('\n'))
            if (!line.trimmed().isEmpty())
                lines << QString::fromUtf8(line.trimmed());
    return lines;
}

// The text of a log line after its date.
QStringList loggedMessages() {
    QStringList messages;
    for (const QString& line : logLines())
        messages << line.section(QStringLiteral(", "), 1);
    return messages;
}

QString journal() {
    return LogFilePath() + ".pending";
}

InvoiceRecord newInvoice(const QString& number) {
    InvoiceRecord invoice;
    invoice.InvoiceNumber = number;
    invoice.AccountNumber = QStringLiteral("1001");
    invoice.DateBilled = Billed;
    invoice.DateDue = Billed.addDays(15);
    invoice.AmountRecieved = 0.0;
    return invoice;
}

ProfileRecord profileOf(const QString& account, const QString& name) {
    ProfileRecord profile;
    profile.AccountNumber = account;
    profile.MasterAccount = QString::fromLatin1(MasterMarker);
    profile.CustomerName = name;
    profile.PaymentAmount = 0.0;
    profile.UnitPrice = 0.0;
    profile.PayableTo = QStringLiteral("Varnaby Services");
    profile.BillAddress[0] = QStringLiteral("1 Mill Lane");
    profile.RecievingAddress[0] = QStringLiteral("PO Box 17");
    return profile;
}

// One change as a window makes it: the journal entry, the book operation, and then, unless the
// child is to die at `death`, the line. Exits with the result of the operation.
[[noreturn]] void changeAndDie(const QString& change, const QString& death) {
    BookSession session(Settings().Database);
    QString error;
    const auto dieAt = [&](const char* point) {
        if (death == QLatin1String(point))
            std::raise(SIGKILL);
    };
    InvoiceRecord invoice = newInvoice(QStringLiteral("0000009"));
    PaymentEntry payment{QStringLiteral("0000001"), Billed.addDays(3), QStringLiteral("chk 12"),
                         60.26};
    const std::vector<QStringList> rows = {
        {"2001", "Ada, \"Ltd\"", "Varnaby Services", "1 Mill Lane", "PO Box 17"}};
    const ImportMapping mapping = DefaultMapping(
        {"Account Number", "Name", "Payable To", "Bill Address 1", "Receiving Address 1"});
    std::optional<LoggedChange> logged;
    if (change == "create")
        logged.emplace(LoggedChange::InvoiceCreated(invoice, 125.0));
    else if (change == "pay")
        logged.emplace(LoggedChange::PaymentSaved(payment));
    else if (change == "remove")
        logged.emplace(LoggedChange::InvoiceDeleted(QStringLiteral("0000002")));
    else if (change == "add")
        logged.emplace(LoggedChange::AccountSaved(profileOf("2001", "Ada, \"Ltd\""), false));
    else if (change == "edit")
        logged.emplace(LoggedChange::AccountSaved(profileOf("1001", "Renamed"), true));
    else if (change == "import")
        logged.emplace(LoggedChange::AccountsImported(QStringLiteral("customers.csv"),
                                                      {Must(ImportedProfile(rows[0], mapping))}));
    else
        logged.emplace(LoggedChange::AccountDeleted(QStringLiteral("1002")));
    dieAt("before");
    bool stored = false;
    if (change == "create") {
        const auto created = CreateInvoice(invoice, 125.0, QString());
        stored = created && *created == InvoiceStore::Stored;
        error = created.error();
    } else if (change == "pay") {
        const auto paid = SavePayment(payment);
        stored = paid.ok();
        error = paid.error();
    } else if (change == "remove") {
        const auto removed = DeleteLastInvoice("1001", "0000002");
        stored = removed && removed->removed;
        error = removed.error();
    } else if (change == "add" || change == "edit") {
        const auto saved = change == "add"
                               ? SaveAccount(profileOf("2001", "Ada, \"Ltd\""), QString())
                               : SaveAccount(profileOf("1001", "Renamed"), "1001");
        stored = saved && *saved == AccountSave::Saved;
        error = saved.error();
    } else if (change == "import") {
        const auto imported = ImportCustomers(rows, mapping, false);
        stored = imported && imported->stored.size() == 1;
        error = imported.error();
    } else {
        const Outcome deleted = DeleteAccount("1002", false);
        stored = deleted.ok();
        error = deleted.error();
    }
    dieAt("after");
    std::fputs(qPrintable(error), stderr);
    std::exit(stored ? 0 : 1);
}

// Creates invoice after invoice as the invoice window does, saying which number each save
// starts, until it is killed.
[[noreturn]] void keepCreating() {
    for (;;) {
        std::optional<LoggedChange> logged;
        InvoiceRecord invoice;
        double billed = 0.0;
        bool stored = false;
        {
            BookSession session(Settings().Database);
            const qlonglong next = Must(HighestInvoiceNumber()).value_or(0) + 1;
            invoice = newInvoice(QStringLiteral("%1").arg(next, 7, 10, QLatin1Char('0')));
            std::fputs("saving\n", stdout);
            std::fflush(stdout);
            logged.emplace(LoggedChange::InvoiceCreated(invoice, 10.0));
            const auto created = CreateInvoice(invoice, 10.0, QString());
            stored = created && *created == InvoiceStore::Stored;
            billed = invoice.AmountBilled.value_or(0.0);
        }
        if (!stored)
            std::exit(1);
        logged->Landed(billed);
    }
}

int runChild(const QStringList& arguments) {
    Settings().Database = arguments[1];
    Settings().TransactionLog = 1;
    if (arguments[0] == "--keep-creating")
        keepCreating();
    changeAndDie(arguments[2], arguments[3]);
}
} // namespace

class LogJournalTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        folder = std::make_unique<ProgramFolderFixture>();
        QVERIFY(LoadSettings().isEmpty());
        const TestBook book(folder->database());
        QVERIFY(book.addProfile("1001", MasterMarker, "Ada") &&
                book.addProfile("1002", "1001", "Linked"));
        QVERIFY(book.addInvoice("0000001", "1001", QVariant()) &&
                book.addInvoice("0000002", "1001", QVariant()));
        warnings.clear();
        Prompts().message = [this](QWidget*, const MessageRequest& request) {
            warnings << request.text;
            return QMessageBox::Ok;
        };
    }
    void cleanup() {
        ResetPromptSeam();
        folder.reset();
    }

    void killedAfterTheCommitIsLoggedAtTheNextStart_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("death");
        QTest::addColumn<QString>("line"); // empty: none
        QTest::newRow("invoice created") << "create"
                                         << "after"
                                         << "Created invoice# 0000009, "
                                            "billed$ 125.00";
        QTest::newRow("invoice not yet created") << "create"
                                                 << "before"
                                                 << "";
        QTest::newRow("payment") << "pay"
                                 << "after"
                                 << "Edited invoice# 0000001, recieved$ 60.26";
        QTest::newRow("payment not yet saved") << "pay"
                                               << "before"
                                               << "";
        QTest::newRow("invoice deleted") << "remove"
                                         << "after"
                                         << "Deleted invoice# 0000002";
        QTest::newRow("invoice not yet deleted") << "remove"
                                                 << "before"
                                                 << "";
        QTest::newRow("account added") << "add"
                                       << "after"
                                       << "Added account# 2001";
        QTest::newRow("account not yet added") << "add"
                                               << "before"
                                               << "";
        QTest::newRow("account edited") << "edit"
                                        << "after"
                                        << "Edited account# 1001";
        QTest::newRow("account not yet edited") << "edit"
                                                << "before"
                                                << "";
        QTest::newRow("account deleted") << "delete"
                                         << "after"
                                         << "Deleted account# 1002";
        QTest::newRow("account not yet deleted") << "delete"
                                                 << "before"
                                                 << "";
        QTest::newRow("accounts imported") << "import"
                                           << "after"
                                           << "Imported accounts from customers.csv";
        QTest::newRow("accounts not yet imported") << "import"
                                                   << "before"
                                                   << "";
    }
    void killedAfterTheCommitIsLoggedAtTheNextStart() {
        QFETCH(QString, change);
        QFETCH(QString, death);
        QFETCH(QString, line);
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {"--change", folder->database(), change, death});
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        QVERIFY(QFile::exists(journal()));
        QCOMPARE(logLines(), QStringList());

        SettleLoggedChanges();
        QCOMPARE(loggedMessages(), line.isEmpty() ? QStringList() : QStringList(line));
        QVERIFY(!QFile::exists(journal()));
        if (!line.isEmpty())
            QVERIFY(logLines()[0].startsWith(FormatShortDate(QDate::currentDate()) + ' '));
    }

    void aChangeIsLoggedOnceHoweverOftenItIsSettled() {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {"--change", folder->database(), "create", "after"});
        QVERIFY(child.waitForFinished(60000));
        QFile entries(journal());
        QVERIFY(entries.open(QIODevice::ReadOnly));
        const QByteArray entry = entries.readAll();
        entries.close();
        SettleLoggedChanges();
        // As when the line was written but the program ended before the entry left the journal.
        QVERIFY(entries.open(QIODevice::WriteOnly) && entries.write(entry) == entry.size());
        entries.close();
        SettleLoggedChanges();
        QCOMPARE(loggedMessages(), QStringList("Created invoice# 0000009, billed$ 125.00"));
        QVERIFY(!QFile::exists(journal()));
    }

    // A run of invoices settles in one go; an entry another program journalled meanwhile stays.
    void changesStoredTogetherSettleTogether() {
        std::vector<LoggedChange> run =
            LoggedChange::InvoicesCreated({{newInvoice("0000011"), 10.0},
                                           {newInvoice("0000012"), 10.0},
                                           {newInvoice("0000013"), 10.0}});
        const LoggedChange other = LoggedChange::InvoiceDeleted("0000001");
        LoggedChange::LandedTogether(run, {10.0, 20.0, 30.0});
        QCOMPARE(loggedMessages(), QStringList({"Created invoice# 0000011, billed$ 10.00",
                                                "Created invoice# 0000012, billed$ 20.00",
                                                "Created invoice# 0000013, billed$ 30.00"}));
        QFile entries(journal());
        QVERIFY(entries.open(QIODevice::ReadOnly));
        QCOMPARE(entries.readAll().count('\n'), 1);
        entries.close();

        std::vector<LoggedChange> refused;
        refused.push_back(LoggedChange::InvoiceCreated(newInvoice("0000014"), 10.0));
        LoggedChange::DroppedTogether(refused);
        QCOMPARE(loggedMessages().size(), 3);
    }

    void refusedChangesAndOtherBooksLogNothing() {
        QString error;
        {
            BookSession session(folder->database());
            // A number already in the book is refused; the entry is dropped at once...
            InvoiceRecord taken = newInvoice("0000001");
            LoggedChange refused = LoggedChange::InvoiceCreated(taken, 5.0);
            QCOMPARE(Must(CreateInvoice(taken, 5.0, QString())), InvoiceStore::Duplicate);
            refused.Dropped();
            // ... or, left unsettled, proves nothing at the next start: the stored invoice with
            // that number is not the one this change would have stored.
            InvoiceRecord other = newInvoice("0000002");
            other.AccountNumber = "1002";
            const LoggedChange unsettled = LoggedChange::InvoiceCreated(other, 5.0);
            QCOMPARE(Must(CreateInvoice(other, 5.0, QString())), InvoiceStore::Duplicate);
        }
        QVERIFY(QFile::exists(journal()));
        SettleLoggedChanges();
        QCOMPARE(logLines(), QStringList());
        QVERIFY(!QFile::exists(journal()));

        // An entry of another book logging to the same file waits for that book.
        const QString other = folder->file("pellory.sqlite");
        QVERIFY(QFile::copy(folder->database(), other));
        Settings().Database = other;
        { const LoggedChange elsewhere = LoggedChange::InvoiceDeleted("0000001"); }
        Settings().Database = folder->database();
        SettleLoggedChanges();
        QCOMPARE(logLines(), QStringList());
        QVERIFY(QFile::exists(journal()));

        // With the log switched off nothing is journalled or logged.
        QFile::remove(journal());
        Settings().TransactionLog = 0;
        LoggedChange::AccountDeleted("1002").Landed();
        QVERIFY(!QFile::exists(journal()));
        QCOMPARE(logLines(), QStringList());
        Settings().TransactionLog = 1;
        QCOMPARE(warnings, QStringList());
    }

    void killsDuringSavesLeaveEveryStoredInvoiceLoggedOnce() {
        for (int round = 0; round < 10; ++round) {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(),
                        {"--keep-creating", folder->database()});
            QVERIFY(child.waitForStarted());
            while (!child.canReadLine())
                QVERIFY2(child.waitForReadyRead(60000), child.readAllStandardError().constData());
            QThread::msleep(QRandomGenerator::global()->bounded(60));
            child.kill();
            QVERIFY(child.waitForFinished());
            SettleLoggedChanges(); // the next start
        }
        QString error;
        QStringList stored;
        {
            BookSession session(folder->database());
            for (const InvoiceRecord& invoice : Must(AllInvoices()))
                stored << invoice.InvoiceNumber;
        }
        stored.sort();
        QStringList logged;
        static const QRegularExpression created(QStringLiteral("^Created invoice# (\\d+), "));
        for (const QString& message : loggedMessages())
            logged << created.match(message).captured(1);
        logged.sort();
        // Every stored invoice but the two the test book starts with has its line, once.
        QCOMPARE(logged, stored.mid(2));
        QVERIFY(!logged.isEmpty());
        QVERIFY(!QFile::exists(journal()));
    }

  private:
    std::unique_ptr<ProgramFolderFixture> folder;
    QStringList warnings;
};

int main(int argc, char** argv) {
    PrepareTestEnvironment();
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    if ((arguments.size() == 2 && arguments[0] == "--keep-creating") ||
        (arguments.size() == 4 && arguments[0] == "--change"))
        return runChild(arguments);
    LogJournalTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_logjournal.moc"
