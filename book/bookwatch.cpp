#include "bookwatch.h"

#include "bookchanges.h"
#include "modDAO.h"
#include "paths.h"
#include "serveraddress.h"
#include "statements.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QUuid>
#include <algorithm>
#include <utility>

namespace {
// How soon a lost connection is tried again, and how often a live one is proved to answer:
// the driver does not tell when the server goes away.
constexpr int CheckIntervalMs = 3000;
constexpr int MaxCheckIntervalMs = 60000;
} // namespace

BookWatch::BookWatch(QObject* parent)
    : QObject(parent),
      connectionName_("pellory_watch_" + QUuid::createUuid().toString(QUuid::WithoutBraces)) {
    check_.setInterval(CheckIntervalMs);
    connect(&check_, &QTimer::timeout, this, &BookWatch::check);
}

BookWatch::~BookWatch() {
    stopListening();
    if (QSqlDatabase::contains(connectionName_))
        QSqlDatabase::removeDatabase(connectionName_);
}

void BookWatch::Watch(const QString& book) {
    if (book == book_)
        return;
    stopListening();
    check_.stop();
    book_ = book;
    missed_ = false;
    if (!IsServerBook(book_))
        return;
    check_.start();
    listen();
}

bool BookWatch::Listening() const {
    return QSqlDatabase::database(connectionName_, false).isOpen();
}

void BookWatch::listen() {
    // Made on first use: a desk on a file book never loads the server's driver.
    QSqlDatabase db = QSqlDatabase::contains(connectionName_)
                          ? QSqlDatabase::database(connectionName_, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName_);
    if (!ConnectToServer(db, book_).isEmpty() ||
        !db.driver()->subscribeToNotification(QLatin1String(sql::DeskChannel))) {
        db.close();
        missed_ = true;
        // Each try may wait out the connect timeout: a server away for long is tried less often.
        check_.setInterval(std::min(check_.interval() * 2, MaxCheckIntervalMs));
        return;
    }
    check_.setInterval(CheckIntervalMs);
    process_ = listeningProcess();
    connect(db.driver(), &QSqlDriver::notification, this, &BookWatch::heard, Qt::UniqueConnection);
    if (std::exchange(missed_, false))
        AnnounceBookChanged();
}

void BookWatch::stopListening() {
    QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
    if (!db.isOpen())
        return;
    db.driver()->unsubscribeFromNotification(QLatin1String(sql::DeskChannel));
    db.close();
}

// The driver closes a connection it finds lost; one that no longer answers, or answers from
// another server process than the one that listened, is closed here. Either way what was said
// meanwhile was missed.
void BookWatch::check() {
    if (QSqlDatabase::database(connectionName_, false).isOpen() && listeningProcess() == process_)
        return;
    stopListening();
    missed_ = true;
    listen();
}

int BookWatch::listeningProcess() const {
    QSqlQuery probe(QSqlDatabase::database(connectionName_, false));
    probe.prepare(QLatin1String(sql::ListeningOn));
    probe.addBindValue(QLatin1String(sql::DeskChannel));
    return probe.exec() && probe.next() ? probe.value(0).toInt() : 0;
}

void BookWatch::heard(const QString& channel, QSqlDriver::NotificationSource,
                      const QVariant& payload) {
    if (channel == QLatin1String(sql::DeskChannel) && payload.toString() != ThisDesk())
        AnnounceBookChanged();
}
