// Desks sharing a server book: another desk's save is heard, this desk's own is not heard twice,
// a lost connection is made again, and a window can tell that an account changed under it.
#include "accountreading.h"
#include "accounts.h"
#include "balances.h"
#include "bookchanges.h"
#include "books.h"
#include "booktesting.h"
#include "bookwatch.h"
#include "modDAO.h"
#include "serveraddress.h"

#include <QProcess>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <functional>

namespace {
const QString Account = QStringLiteral("A100");
const QString Invoice = QStringLiteral("1001");

bool addAccountWithInvoice(const QString& book) {
    return AddAccount(book, {.account = Account, .balance = 50.0}) &&
           AddInvoice(book, {.number = Invoice,
                             .account = Account,
                             .billed = QDate(2024, 3, 1),
                             .amountBilled = 50.0});
}

// Another program on the same book records a payment; started, not waited for.
void startOtherDesk(QProcess& desk, const QString& book, const QString& amount) {
    desk.start(QCoreApplication::applicationDirPath() + QStringLiteral("/deskwrite"),
               {book, Invoice, amount});
    QVERIFY(desk.waitForStarted());
}

void finishOtherDesk(QProcess& desk) {
    QVERIFY(desk.state() == QProcess::NotRunning || desk.waitForFinished());
    QCOMPARE(desk.exitStatus(), QProcess::NormalExit);
    QCOMPARE(desk.exitCode(), 0);
}

template <typename T>
Result<T> onBook(const QString& book, const std::function<Result<T>()>& work) {
    QString error;
    if (daoOpen_DBConnection(book, error) != 0)
        return BookFailure{-1, error};
    Result<T> result = work();
    daoClose_DBConnection();
    return result;
}

Result<double> storePayment(const QString& book, double amount) {
    return onBook<double>(book, [&] {
        return SavePayment({Invoice, QDate(2024, 3, 20), QStringLiteral("this desk"), amount});
    });
}
} // namespace

class TestBookWatch : public QObject {
    Q_OBJECT
  private slots:
    void otherDesksSavesAreHeardOwnAreNot();
    void lostConnectionIsMadeAgain();
    void fileBookIsNotWatched();
    void changedFiguresAreTold();
    void changedProfileIsTold();
};

void TestBookWatch::otherDesksSavesAreHeardOwnAreNot() {
    if (!OnServerBook())
        QSKIP("only a server book has other desks");
    ProgramFolderFixture folder;
    QVERIFY(addAccountWithInvoice(folder.database()));
    BookWatch watch;
    watch.Watch(folder.database());
    QVERIFY(watch.Listening());
    QSignalSpy heard(&BookChangeAnnouncer(), &BookChanges::changed);

    // This desk's own save is announced here once; the server's notice of it is not heard again.
    Must(storePayment(folder.database(), 10.0));
    QTRY_COMPARE_WITH_TIMEOUT(heard.count(), 1, 5000);
    QTest::qWait(500);
    QCOMPARE(heard.count(), 1);
    QProcess desk;
    startOtherDesk(desk, folder.database(), QStringLiteral("20"));
    QTRY_COMPARE_WITH_TIMEOUT(heard.count(), 2, 5000);
    finishOtherDesk(desk);
}

void TestBookWatch::lostConnectionIsMadeAgain() {
    if (!OnServerBook())
        QSKIP("only a server book has other desks");
    ProgramFolderFixture folder;
    QVERIFY(addAccountWithInvoice(folder.database()));
    BookWatch watch;
    watch.Watch(folder.database());
    QVERIFY(watch.Listening());
    {
        QSqlDatabase admin = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), "admin");
        QVERIFY(ConnectToServer(admin, folder.database()).isEmpty());
        QSqlQuery cut(admin);
        QVERIFY(cut.exec(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
                                        "WHERE datname = current_database() AND pid <> "
                                        "pg_backend_pid()")));
        admin.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("admin"));
    // What was missed meanwhile is read anew once the connection is back.
    QSignalSpy heard(&BookChangeAnnouncer(), &BookChanges::changed);
    QTRY_VERIFY_WITH_TIMEOUT(heard.count() == 1 && watch.Listening(), 10000);
    QProcess desk;
    startOtherDesk(desk, folder.database(), QStringLiteral("20"));
    QTRY_COMPARE_WITH_TIMEOUT(heard.count(), 2, 5000);
    finishOtherDesk(desk);
}

void TestBookWatch::fileBookIsNotWatched() {
    if (OnServerBook())
        QSKIP("a file book's case");
    ProgramFolderFixture folder;
    BookWatch watch;
    watch.Watch(folder.database());
    QVERIFY(!watch.Listening());
}

void TestBookWatch::changedFiguresAreTold() {
    ProgramFolderFixture folder;
    QVERIFY(addAccountWithInvoice(folder.database()));
    const AccountReading read = Must(onBook<AccountReading>(
        folder.database(), [] { return ReadFiguresAsStored(Account, Invoice); }));
    QVERIFY(read.balance && read.stored);
    QVERIFY(!Must(onBook<bool>(folder.database(), [&] { return ChangedSinceRead(read); })));
    QProcess desk;
    startOtherDesk(desk, folder.database(), QStringLiteral("20"));
    finishOtherDesk(desk);
    QVERIFY(Must(onBook<bool>(folder.database(), [&] { return ChangedSinceRead(read); })));
}

void TestBookWatch::changedProfileIsTold() {
    ProgramFolderFixture folder;
    QVERIFY(addAccountWithInvoice(folder.database()));
    const AccountReading read = Must(
        onBook<AccountReading>(folder.database(), [] { return ReadProfileAsStored(Account); }));
    QVERIFY(read.profile);
    // A payment leaves the profile as it was.
    Must(storePayment(folder.database(), 10.0));
    QVERIFY(!Must(onBook<bool>(folder.database(), [&] { return ChangedSinceRead(read); })));
    ProfileRecord renamed = *read.profile;
    renamed.CustomerName = QStringLiteral("Renamed elsewhere");
    QCOMPARE(
        Must(onBook<AccountSave>(folder.database(), [&] { return SaveAccount(renamed, Account); })),
        AccountSave::Saved);
    QVERIFY(Must(onBook<bool>(folder.database(), [&] { return ChangedSinceRead(read); })));
}

PELLORY_BOOK_TEST_MAIN(TestBookWatch)
#include "test_bookwatch.moc"
