#include "serveraddress.h"

#include "enginecalls.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QUrl>
#include <QUrlQuery>

namespace {
constexpr int DefaultPort = 5432;

QString quotedOption(QString value) {
    return '\'' + value.replace('\\', QLatin1String("\\\\")).replace('\'', QLatin1String("\\'")) +
           '\'';
}
} // namespace

ServerAddressReading ReadServerAddress(const QString& uri) {
    ServerAddressReading reading;
    const QUrl url(uri, QUrl::StrictMode);
    if (!url.isValid() || (url.scheme().compare(QLatin1String("postgresql"), Qt::CaseInsensitive) &&
                           url.scheme().compare(QLatin1String("postgres"), Qt::CaseInsensitive))) {
        reading.refusal = uri + " is not a PostgreSQL connection URI (postgresql://user@host:port/"
                                "database)";
        return reading;
    }
    ServerAddress& address = reading.address;
    address.host = url.host(QUrl::FullyDecoded);
    address.port = url.port();
    address.user = url.userName(QUrl::FullyDecoded);
    address.database = url.path(QUrl::FullyDecoded).mid(1);
    QStringList options;
    bool password = !url.password().isEmpty();
    for (const auto& [key, value] : QUrlQuery(url).queryItems(QUrl::FullyDecoded)) {
        if (key == QLatin1String("host"))
            address.host = value;
        else if (key == QLatin1String("port"))
            address.port = value.toInt();
        else if (key == QLatin1String("user"))
            address.user = value;
        else if (key == QLatin1String("dbname"))
            address.database = value;
        else if (key == QLatin1String("password"))
            password = true;
        else
            options << key + '=' + quotedOption(value);
    }
    if (password)
        reading.refusal = QStringLiteral(
            "The Database setting holds a password, and Pellory keeps no password in its "
            "settings. Remove it from the setting and put it in ~/.pgpass (or the file PGPASSFILE "
            "names).");
    // A server that cannot be reached, or a network that goes silent under a connection, must
    // not hold the window for minutes: a connect, and a send or read the server never answers,
    // are given up after ten seconds unless the URI says otherwise.
    for (const char* bound : {"connect_timeout=10", "tcp_user_timeout=10000", "keepalives_idle=10",
                              "keepalives_interval=3", "keepalives_count=3"}) {
        const QString option = QLatin1String(bound);
        if (!QUrlQuery(url).hasQueryItem(option.section('=', 0, 0)))
            options << option;
    }
    address.options = options.join(';');
    return reading;
}

QString DescribeServer(const ServerAddress& address) {
    const QString port = QString::number(address.port > 0 ? address.port : DefaultPort);
    if (address.host.isEmpty())
        return "the server on this machine, port " + port;
    if (address.host.startsWith('/'))
        return "the server at socket folder " + address.host + ", port " + port;
    return address.host + ':' + port;
}

QString ConnectToServer(QSqlDatabase& db, const QString& uri) {
    const ServerAddressReading reading = ReadServerAddress(uri);
    if (!reading.refusal.isEmpty())
        return reading.refusal;
    const ServerAddress& address = reading.address;
    db.setHostName(address.host);
    db.setPort(address.port);
    db.setUserName(address.user);
    db.setDatabaseName(address.database);
    db.setConnectOptions(address.options);
    if (!db.open())
        return "cannot reach " + DescribeServer(address) + ": " +
               engine::ErrorText(db.lastError()).trimmed();
    return QString();
}
