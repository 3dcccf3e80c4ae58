#include "ownconnection.h"

#include "enginecalls.h"
#include "paths.h"
#include "serveraddress.h"

#include <QSqlError>

OwnConnection::OwnConnection(const QString& name, const QString& book, bool readOnly, int busyMs)
    : name_(name), dialect_(IsServerBook(book) ? sql::Dialect::Server : sql::Dialect::File) {
    if (dialect_ == sql::Dialect::File) {
        db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
        db_.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=") +
                              QString::number(busyMs));
        db_.setDatabaseName(engine::FileUri(book, readOnly));
        if (!db_.open()) {
            number_ = engine::ErrorNumber(db_.lastError());
            description_ = engine::ErrorText(db_.lastError());
        }
        return;
    }
    const ServerAddressReading reading = ReadServerAddress(book);
    if (!reading.refusal.isEmpty()) {
        number_ = engine::GeneralError;
        description_ = reading.refusal;
        return;
    }
    const ServerAddress& address = reading.address;
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name_);
    db_.setHostName(address.host);
    db_.setPort(address.port);
    db_.setUserName(address.user);
    db_.setDatabaseName(address.database);
    db_.setConnectOptions(address.options);
    if (!db_.open()) {
        number_ = engine::GeneralError;
        description_ =
            "cannot reach " + DescribeServer(address) + ": " + engine::ErrorText(db_.lastError());
    }
}

OwnConnection::~OwnConnection() {
    if (db_.isValid())
        db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(name_);
}
