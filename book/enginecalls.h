#pragma once

// How the book's code names the engine's errors and opens its files, in one place.

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QUrl>

namespace engine {

inline constexpr qint32 GeneralError = 1;  // SQLITE_ERROR
inline constexpr qint32 NotADatabase = 26; // SQLITE_NOTADB

inline qint32 ErrorNumber(const QSqlError& error) {
    bool ok = false;
    const qint32 number = error.nativeErrorCode().toInt(&ok);
    return ok && number != 0 ? number : GeneralError;
}

// A server heads its messages with "ERROR:" and the client library ends them with the error's
// code in brackets; the message keeps only the words between.
inline QString ErrorText(const QSqlError& error) {
    QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    if (text.startsWith(QLatin1String("ERROR:")))
        text = text.mid(6);
    const QString code = QLatin1Char('(') + error.nativeErrorCode() + QLatin1Char(')');
    if (!error.nativeErrorCode().isEmpty() && text.trimmed().endsWith(code))
        text = text.trimmed().chopped(code.size());
    // A server's pointer into the statement text helps no user.
    if (const qsizetype pointer = text.indexOf(QLatin1String("\nLINE ")); pointer > 0)
        text.truncate(pointer);
    return text.trimmed();
}

// "<routine>(), Error = <number> : <description>"
inline QString Failure(const char* routine, qint32 number, const QString& description) {
    return QString::fromLatin1(routine) + "(), Error = " + QString::number(number) + " : " +
           description;
}

// Files open through a URI so that a missing file is an error, never a new empty database.
inline QString FileUri(const QString& path, bool readOnly) {
    return QStringLiteral("file:") + QString::fromUtf8(QUrl::toPercentEncoding(path, "/")) +
           (readOnly ? QStringLiteral("?mode=ro") : QStringLiteral("?mode=rw"));
}

// Opens db on a book file through its URI, waiting busyMs for another program's lock; false, with
// the engine's number and words, when it does not open.
inline bool OpenFile(QSqlDatabase& db, const QString& path, bool readOnly, int busyMs,
                     qint32& number, QString& description) {
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=") +
                         QString::number(busyMs));
    db.setDatabaseName(FileUri(path, readOnly));
    if (db.open())
        return true;
    number = ErrorNumber(db.lastError());
    description = ErrorText(db.lastError());
    return false;
}

} // namespace engine
