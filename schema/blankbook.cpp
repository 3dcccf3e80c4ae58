#include "blankbook.h"

#include "tablesscript.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

QString TablesScript() {
    return QString::fromUtf8(TablesSql);
}

QString ServerTablesScript() {
    return QString::fromUtf8(ServerTablesSql);
}

QStringList ScriptStatements(const QString& script) {
    QString statements;
    for (const QString& line : script.split('\n'))
        if (!line.trimmed().startsWith(QLatin1String("--")))
            statements += line + '\n';
    QStringList found;
    for (const QString& statement : statements.split(';'))
        if (!statement.trimmed().isEmpty())
            found << statement.trimmed();
    return found;
}

QString WriteBlankBook(const QString& target, const QString& script) {
    if (QFile::exists(target))
        return target + QStringLiteral(" already exists");
    const QString scratch = target + QStringLiteral(".new");
    QFile::remove(scratch);
    const QString connection = QStringLiteral("pellory_blankbook");
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(scratch);
        if (!db.open())
            error = db.lastError().text();
        QSqlQuery query(db);
        for (const QString& statement : ScriptStatements(script)) {
            if (!error.isEmpty())
                continue;
            if (!query.exec(statement))
                error = query.lastError().text() + '\n' + statement;
        }
        query.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    // Never renamed over a file: a book that appeared meanwhile stays as it is.
    if (error.isEmpty() && !QFile::rename(scratch, target))
        error = QStringLiteral("cannot rename ") + scratch + QStringLiteral(" to ") + target;
    if (!error.isEmpty())
        QFile::remove(scratch);
    return error;
}
