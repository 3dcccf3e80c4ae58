#include "ownconnection.h"

#include "enginecalls.h"
#include "paths.h"
#include "serveraddress.h"

#include <QSqlError>

OwnConnection::OwnConnection(const QString& name, const QString& book, bool readOnly, int busyMs)
    : name_(name), dialect_(IsServerBook(book) ? sql::Dialect::Server : sql::Dialect::File) {
    if (dialect_ == sql::Dialect::File) {
        db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
        engine::OpenFile(db_, book, readOnly, busyMs, number_, description_);
        return;
    }
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name_);
    description_ = ConnectToServer(db_, book);
    if (!description_.isEmpty())
        number_ = engine::GeneralError;
}

OwnConnection::~OwnConnection() {
    if (db_.isValid())
        db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(name_);
}
