// Several desks saving to one book at once, each a process of its own, and a desk killed in the
// middle of a save. The book must hold exactly what the desks were told was stored.
#include "accounts.h"
#include "booksession.h"
#include "booktesting.h"
#include "columns.h"
#include "formats.h"
#include "invoices.h"

#include <QDateTime>
#include <QProcess>
#include <QSet>
#include <memory>
#include <vector>

namespace {
qint64 cents(double amount) {
    return qRound64(amount * 100.0);
}

const QStringList SharedAccounts{"D-1", "D-2", "D-3"};
constexpr int OperationsPerDesk = 40;

// What every desk said it stored, and what it said failed.
struct DeskReports {
    QMap<QString, QPair<QString, double>> invoices; // number: account and charges
    QStringList numbersSaidTwice;
    QMultiMap<QString, qint64> payments; // number: cents received
    QStringList failures;
};

void readReport(const QByteArray& output, DeskReports& reports) {
    for (const QByteArray& line : output.split('\n')) {
        const QStringList word = QString::fromUtf8(line).split(' ');
        if (word[0] == QLatin1String("invoice") && word.size() == 5) {
            if (reports.invoices.contains(word[1]))
                reports.numbersSaidTwice << word[1];
            reports.invoices.insert(word[1], {word[2], word[3].toDouble()});
        } else if (word[0] == QLatin1String("payment") && word.size() == 4) {
            reports.payments.insert(word[1], cents(word[2].toDouble()));
        } else if (word[0] == QLatin1String("failed")) {
            reports.failures << QString::fromUtf8(line);
        }
    }
}

// What an invoice leaves owing: its new charges less what was received on it.
double owedOn(const InvoiceRecord& invoice) {
    return invoice.AmountBilled.value_or(0.0) - invoice.PastDue.value_or(0.0) -
           invoice.AmountRecieved.value_or(0.0);
}

ProfileRecord sharedAccount(const QString& number) {
    ProfileRecord profile;
    profile.AccountNumber = number;
    profile.MasterAccount = MasterMarker;
    profile.CustomerName = QStringLiteral("Shared ") + number;
    profile.PaymentAmount = 0.0;
    profile.UnitPrice = 0.0;
    return profile;
}
} // namespace

class DesksTest : public QObject {
    Q_OBJECT
    std::unique_ptr<ProgramFolderFixture> folder;

    void startDesk(QProcess& desk, const QStringList& arguments) {
        desk.setProcessChannelMode(QProcess::SeparateChannels);
        desk.start(QStringLiteral(PELLORY_DESK_PROGRAM),
                   QStringList{folder->database()} + arguments);
        QVERIFY2(desk.waitForStarted(), qPrintable(desk.errorString()));
    }

  private slots:
    void init() {
        folder = std::make_unique<ProgramFolderFixture>();
        BookSession session(folder->database());
        for (const QString& account : SharedAccounts)
            QCOMPARE(Must(SaveAccount(sharedAccount(account), QString())), AccountSave::Saved);
    }
    void cleanup() { folder.reset(); }

    void desksAtOnceStoreWhatTheySay_data() {
        QTest::addColumn<int>("desks");
        QTest::newRow("2 desks") << 2;
        QTest::newRow("4 desks") << 4;
    }
    void desksAtOnceStoreWhatTheySay() {
        QFETCH(int, desks);
        if (desks > 2 && !OnServerBook())
            QSKIP("A file book takes one desk's save at a time; two desks show that already.");
        const QString startAt = QString::number(QDateTime::currentMSecsSinceEpoch() + 500);
        std::vector<std::unique_ptr<QProcess>> running;
        for (int desk = 1; desk <= desks; ++desk) {
            running.push_back(std::make_unique<QProcess>());
            startDesk(*running.back(), {QString::number(desk), QString::number(OperationsPerDesk),
                                        SharedAccounts.join(','), "--start-at", startAt});
        }
        DeskReports said;
        for (auto& desk : running) {
            QVERIFY(desk->waitForFinished(300000));
            QVERIFY2(desk->exitStatus() == QProcess::NormalExit && desk->exitCode() == 0,
                     desk->readAllStandardError().constData());
            readReport(desk->readAllStandardOutput(), said);
        }
        if (!said.failures.isEmpty())
            qInfo("%lld saves failed and were tried again, the first: %s",
                  static_cast<long long>(said.failures.size()), qPrintable(said.failures.first()));
        QVERIFY2(said.numbersSaidTwice.isEmpty(), qPrintable(said.numbersSaidTwice.join(' ')));
        QVERIFY(!said.invoices.isEmpty() && !said.payments.isEmpty());

        BookSession session(folder->database());
        const auto stored = Must(AllInvoices());
        // Nothing but what was said stored: a failed save left no invoice behind.
        QCOMPARE(stored.size(), static_cast<std::size_t>(said.invoices.size()));
        QMap<QString, qint64> owed;
        for (const InvoiceRecord& invoice : stored) {
            const QString number = invoice.InvoiceNumber;
            QVERIFY2(said.invoices.contains(number), qPrintable(number));
            QCOMPARE(invoice.AccountNumber, said.invoices[number].first);
            QCOMPARE(cents(*invoice.AmountBilled - *invoice.PastDue),
                     cents(said.invoices[number].second));
            // The last payment stored on it, or none; never one that failed.
            const double received = invoice.AmountRecieved.value_or(0.0);
            QVERIFY2(said.payments.contains(number)
                         ? said.payments.values(number).contains(cents(received))
                         : received == 0.0,
                     qPrintable(number + ": " + QString::number(received)));
            owed[invoice.AccountNumber] += cents(owedOn(invoice));
        }
        for (const QString& account : SharedAccounts) {
            const auto balance = Must(ReadBalance(account));
            QVERIFY(balance.has_value());
            QCOMPARE(cents(balance->Balance.value_or(0.0)), owed.value(account));
        }
    }

    void aDeskKilledInASaveLeavesNothing() {
        QProcess desk;
        startDesk(desk, {"--hold", SharedAccounts[0]});
        while (!desk.canReadLine() && desk.state() == QProcess::Running)
            desk.waitForReadyRead(10000);
        QCOMPARE(desk.readLine().trimmed(), QByteArray("holding"));
        desk.kill();
        QVERIFY(desk.waitForFinished());

        BookSession session(folder->database());
        QCOMPARE(Must(InvoiceExists("999999")), false);
        QCOMPARE(Must(ReadBalance(SharedAccounts[0]))->Balance.value_or(-1.0), 0.0);
        // The account the killed desk held takes the next save.
        InvoiceRecord invoice;
        invoice.InvoiceNumber = QStringLiteral("1");
        invoice.AccountNumber = SharedAccounts[0];
        QCOMPARE(Must(CreateInvoice(invoice, 10.0, QString())), InvoiceStore::Stored);
        QCOMPARE(Must(ReadBalance(SharedAccounts[0]))->Balance.value_or(-1.0), 10.0);
    }
};

PELLORY_BOOK_TEST_MAIN(DesksTest)
#include "test_desks.moc"
