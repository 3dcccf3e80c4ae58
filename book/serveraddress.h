#pragma once

#include <QString>

// Where a book on a PostgreSQL server lives, read from its connection URI
// (postgresql://user@host:port/dbname?key=value…). The host may be a socket folder, given in the
// authority or as ?host=/path. Keys the URI adds beyond those are handed to the client library
// as they stand. No password is ever taken from the URI: the client library's own password and
// service files hold it, so it never lands in the settings file.
struct ServerAddress {
    QString host;
    int port = -1;
    QString user;
    QString database;
    QString options; // key='value' pairs for the client library, separated by ';'
};

// The address, or the reason the URI cannot be used, in words for the user.
struct ServerAddressReading {
    ServerAddress address;
    QString refusal;
};
ServerAddressReading ReadServerAddress(const QString& uri);

// The server as a message names it: "host:port", or the socket folder and port.
QString DescribeServer(const ServerAddress& address);

class QSqlDatabase;

// Opens db, a connection of the QPSQL driver, on the server book at uri. Empty when it is open;
// otherwise why not, in words for the user.
QString ConnectToServer(QSqlDatabase& db, const QString& uri);
