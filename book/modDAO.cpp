#include "modDAO.h"

#include "columns.h"
#include "enginecalls.h"
#include "events.h"
#include "formats.h"
#include "paths.h"
#include "serveraddress.h"
#include "statements.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>
#include <cmath>

namespace {

const QString ConnectionName = QStringLiteral("pellory_dao");
const QString ServerConnectionName = QStringLiteral("pellory_dao_server");
const QString CompactionName = QStringLiteral("pellory_compact");
constexpr int BusyTimeoutMs = 5000;
// The newest version of the book's tables this program knows.
constexpr int KnownSchemaVersion = 1;
constexpr qint32 EngineError = engine::GeneralError;
constexpr qint32 Corrupt = 11; // SQLITE_CORRUPT
using engine::NotADatabase;

struct Connection {
    QString path;
    sql::Dialect dialect = sql::Dialect::File;
    // The server book whose connection stays open between pieces of work, since a connection to
    // a server costs far more than opening a file.
    QString pooledServerBook;
    QString bookKey; // the path the damaged books are known by
    Recordset recordset;
    QVariantList buffer;
};

Connection& state() {
    static Connection connection;
    return connection;
}

QSqlDatabase connectionFor(sql::Dialect dialect) {
    const bool server = dialect == sql::Dialect::Server;
    const QString& name = server ? ServerConnectionName : ConnectionName;
    if (!QSqlDatabase::contains(name))
        return QSqlDatabase::addDatabase(
            server ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE"), name);
    return QSqlDatabase::database(name, false);
}

QSqlDatabase database() {
    return connectionFor(state().dialect);
}

bool onServer() {
    return state().dialect == sql::Dialect::Server;
}

// Books a statement found damaged during this run, with what the integrity check said. Nothing
// more is written to them: every further write could spread the damage over what is left.
QHash<QString, QString>& damagedBooks() {
    static QHash<QString, QString> books;
    return books;
}

QString bookKeyOf(const QString& path) {
    const QFileInfo file(path);
    const QString canonical = file.canonicalFilePath();
    return canonical.isEmpty() ? file.absoluteFilePath() : canonical;
}

bool isCorruption(qint32 number) {
    if (onServer()) // the server guards its own files; its error numbers mean other things
        return false;
    const qint32 primary = number & 0xff; // an extended code keeps the primary one in its low byte
    return primary == Corrupt || primary == NotADatabase;
}

QString quickCheckOfOpenBook() {
    QSqlQuery check(database());
    if (!check.exec(QLatin1String(sql::QuickCheck)))
        return "integrity check failed: " + engine::ErrorText(check.lastError());
    if (!check.next())
        return QStringLiteral("integrity check gave no answer");
    // The engine heads its findings with the schema's name; the book has only one.
    return "integrity check: " +
           check.value(0).toString().remove(QLatin1String("*** in database main ***")).simplified();
}

QString damageNotice() {
    const Connection& open = state();
    return "The book " + open.path + " is damaged (" + damagedBooks().value(open.bookKey) +
           "); Pellory writes nothing more to it. Close Pellory and restore the copy " +
           ProgramFile("backup/" + QFileInfo(open.path).fileName()) + ".";
}

// A server's failures that a user meets as a desk among others, said plainly. A lost connection
// is dropped, so the next piece of work connects again.
QString describeServerFailure(const QSqlError& error, const QString& description) {
    const QString code = error.nativeErrorCode();
    if (code == QLatin1String("55P03") || code == QLatin1String("40P01") ||
        code == QLatin1String("40001"))
        return description + ". Another desk is saving to the same record; nothing was changed. "
                             "Try again in a moment.";
    if (code.startsWith(QLatin1String("08")) || code.startsWith(QLatin1String("57P")) ||
        error.type() == QSqlError::ConnectionError || !database().isOpen() ||
        description.contains(QLatin1String("connection"), Qt::CaseInsensitive)) {
        state().pooledServerBook.clear();
        return description + ". The connection to the server was lost.";
    }
    return description;
}

// The description of a failed statement on the open book. A corruption error marks the book
// damaged, after a quick integrity check, and the description says what to do.
QString describeFailure(qint32 number, const QString& description, const QSqlError& error = {}) {
    if (onServer())
        return describeServerFailure(error, description);
    if (!isCorruption(number))
        return description;
    if (!damagedBooks().contains(state().bookKey))
        damagedBooks().insert(state().bookKey, quickCheckOfOpenBook());
    return description + ". " + damageNotice();
}

// True, with the refusal filled, when the open book was found damaged.
bool refusedAsDamaged(const char* routine, qint32& result, QString& errorMessage) {
    if (!damagedBooks().contains(state().bookKey))
        return false;
    result = Corrupt;
    errorMessage = engine::Failure(routine, Corrupt, damageNotice());
    return true;
}

bool isJetDatabase(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(20);
    return head.mid(4, 15) == "Standard Jet DB" || head.mid(4, 15) == "Standard ACE DB";
}

sql::Dialect dialectOf(const QSqlDatabase& db) {
    return db.driverName() == QLatin1String("QPSQL") ? sql::Dialect::Server : sql::Dialect::File;
}

// An empty file or another program's database opens as a database too; only a file holding
// Pellory's three tables is a book. False, with the engine's error, when the catalogue cannot be
// read.
bool findMissingTables(QSqlDatabase& db, QStringList& missing, QSqlError& error) {
    for (const char* table : {tables::CustomerProfile, tables::Invoices, tables::Logs}) {
        QSqlQuery exists(db);
        exists.prepare(QLatin1String(sql::TableExists.in(dialectOf(db))));
        exists.addBindValue(QLatin1String(table));
        if (!exists.exec()) {
            error = exists.lastError();
            return false;
        }
        if (!exists.next())
            missing << QLatin1String(table);
    }
    return true;
}

// Proves the open `db` holds a book this program can read: the three tables, and tables no
// newer than it knows. Fills number and description when it does not.
void proveBook(QSqlDatabase& db, qint32& number, QString& description) {
    const sql::Dialect dialect = dialectOf(db);
    QSqlQuery probe(db);
    QSqlError error;
    QStringList missing;
    if (!probe.exec(QLatin1String(sql::ProveDatabase.in(dialect))))
        error = probe.lastError();
    else
        findMissingTables(db, missing, error);
    if (!error.isValid() && missing.isEmpty() &&
        !probe.exec(QLatin1String(sql::SchemaVersion.in(dialect))))
        error = probe.lastError();
    if (error.isValid()) {
        number = engine::ErrorNumber(error);
        description = engine::ErrorText(error);
    } else if (!missing.isEmpty()) {
        number = EngineError;
        description = "no such table: " + missing.join(QLatin1String(", ")) +
                      (dialect == sql::Dialect::Server ? " (the database is not a Pellory book)"
                                                       : " (the file is not a Pellory book)");
    } else if (const int version = probe.next() ? probe.value(0).toInt() : 0;
               version > KnownSchemaVersion) {
        number = EngineError;
        description = QStringLiteral("the book's tables are version %1, made by a newer Pellory; "
                                     "this program reads version %2 and older. Install the newer "
                                     "Pellory on this desk.")
                          .arg(version)
                          .arg(KnownSchemaVersion);
    }
}

// Opens `db` on path and proves the file is a book; fills number and description on failure.
bool openProven(QSqlDatabase& db, const QString& path, bool readOnly, qint32& number,
                QString& description) {
    if (isJetDatabase(path)) {
        number = NotADatabase;
        description = QStringLiteral("file is an Access/Jet database; Pellory opens only its own "
                                     "database format");
        return false;
    }
    if (!engine::OpenFile(db, path, readOnly, BusyTimeoutMs, number, description))
        return false;
    proveBook(db, number, description);
    if (number != 0) {
        db.close();
        return false;
    }
    return true;
}

// The pooled connection when it still answers; a connection the server dropped is closed.
bool pooledConnectionAnswers(QSqlDatabase& db, const QString& uri) {
    if (state().pooledServerBook != uri || !db.isOpen())
        return false;
    QSqlQuery probe(db);
    if (probe.exec(QLatin1String(sql::ProveDatabase.server)))
        return true;
    db.close();
    return false;
}

// Connects `db` to the server book at uri, or reuses the connection kept from the last piece of
// work on it, and sets how this piece of work may use it.
bool openServerBook(QSqlDatabase& db, const QString& uri, bool readOnly, qint32& number,
                    QString& description) {
    if (!pooledConnectionAnswers(db, uri)) {
        state().pooledServerBook.clear();
        db.close();
        description = ConnectToServer(db, uri);
        if (!description.isEmpty()) {
            number = EngineError;
            return false;
        }
        proveBook(db, number, description);
        if (number != 0) {
            db.close();
            return false;
        }
        state().pooledServerBook = uri;
    }
    QSqlQuery settings(db);
    settings.prepare(QLatin1String(sql::ServerSessionSettings));
    settings.addBindValue(QString::number(BusyTimeoutMs));
    settings.addBindValue(readOnly ? QStringLiteral("on") : QStringLiteral("off"));
    if (!settings.exec()) {
        number = engine::ErrorNumber(settings.lastError());
        description = engine::ErrorText(settings.lastError());
        state().pooledServerBook.clear();
        db.close();
        return false;
    }
    return true;
}

QVariant bindable(const QVariant& value) {
    if (value.metaType().id() == QMetaType::QDate)
        return DateToStored(value.toDate());
    if (value.metaType().id() == QMetaType::QDateTime)
        return DateToStored(value.toDateTime().date());
    return value;
}

bool run(QSqlQuery& query, const QString& statement, const QVariantList& values) {
    // A server prepares only queries and changes of rows, not transaction control or upkeep.
    if (values.isEmpty())
        return query.exec(statement);
    if (!query.prepare(statement))
        return false;
    for (const QVariant& value : values)
        query.addBindValue(bindable(value));
    return query.exec();
}

bool isNumber(const QVariant& value) {
    switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

bool isBlank(const QVariant& value) {
    return value.isNull() ||
           (value.metaType().id() == QMetaType::QString && value.toString().trimmed().isEmpty());
}

// A value converted to what its column holds. A value that cannot be converted is passed on
// as it is, so that the column's own checks refuse it with the engine's error.
QVariant forColumn(const QVariant& value, const QString& name, const QString& type) {
    if (value.isNull())
        return QVariant();
    if (IsDateColumn(name)) {
        if (isBlank(value))
            return QVariant();
        if (value.metaType().id() == QMetaType::QDate ||
            value.metaType().id() == QMetaType::QDateTime)
            return bindable(value);
        if (const auto date = ParseDate(value.toString()))
            return DateToStored(*date);
        return value;
    }
    if (type.compare(QLatin1String("REAL"), Qt::CaseInsensitive) == 0 ||
        type.compare(QLatin1String("numeric"), Qt::CaseInsensitive) == 0) {
        if (isBlank(value))
            return QVariant();
        if (const auto money = ParseMoney(value))
            return *money;
        return value;
    }
    if (type.startsWith(QLatin1String("INT"), Qt::CaseInsensitive)) {
        if (isBlank(value))
            return QVariant();
        const std::optional<double> number =
            isNumber(value) ? std::optional(value.toDouble()) : ParseNumber(value.toString());
        if (number && *number == std::trunc(*number) && std::abs(*number) < 9.0e15)
            return static_cast<qlonglong>(*number);
        return value;
    }
    if (type.compare(QLatin1String("TEXT"), Qt::CaseInsensitive) == 0)
        return value.toString();
    return bindable(value);
}

struct Column {
    QString name;
    QString type;
};

// The table's columns, and its name as the catalogue spells it.
bool readColumns(QSqlDatabase& db, const QString& table, std::vector<Column>& columns,
                 QString& catalogueName, QSqlError& error) {
    QSqlQuery exists(db);
    if (!run(exists, QLatin1String(sql::TableExists), {table})) {
        error = exists.lastError();
        return false;
    }
    if (!exists.next()) {
        error = QSqlError(QStringLiteral("no such table: ") + table, QString(),
                          QSqlError::StatementError, QString::number(EngineError));
        return false;
    }
    catalogueName = exists.value(0).toString();
    QSqlQuery info(db);
    if (!run(info, QLatin1String(sql::TableColumns), {catalogueName})) {
        error = info.lastError();
        return false;
    }
    while (info.next())
        columns.push_back({info.value(0).toString(), info.value(1).toString()});
    return true;
}

QString quotedName(QString name) {
    return '"' + name.replace('"', QLatin1String("\"\"")) + '"';
}

// A name given by a caller, quoted for a built statement; a server keeps unquoted names in lower
// case, so the name is quoted as it keeps them.
QString builtName(const QString& name) {
    return onServer() ? quotedName(name.toLower()) : '[' + name + ']';
}

} // namespace

bool Recordset::MoveFirst() {
    current_ = 0;
    return !rows_.empty();
}

void Recordset::MoveNext() {
    if (current_ < rows_.size())
        ++current_;
}

bool Recordset::EndOfFile() const {
    return current_ >= rows_.size();
}

QVariant Recordset::Fields(int position) const {
    if (EndOfFile() || position < 0 || position >= rows_[current_].size())
        return {};
    return rows_[current_][position];
}

void Recordset::Reset(std::vector<QVariantList> rows) {
    rows_ = std::move(rows);
    current_ = 0;
}

Recordset& SharedRecordset() {
    return state().recordset;
}

QVariantList& RecordBuffer() {
    return state().buffer;
}

bool IsBookDamaged(const QString& path) {
    return damagedBooks().contains(bookKeyOf(path));
}

bool ServerBookOpen() {
    return onServer();
}

QString ConnectedPath() {
    return state().path;
}

qint32 daoOpen_DBConnection(const QString& path, QString& errorMessage, bool readOnly) {
    errorMessage.clear();
    // A nested open would pull the connection from under the work that opened it.
    if (!state().path.isEmpty()) {
        errorMessage = QStringLiteral("daoOpen_DBConnection(): Database connection already open");
        return -1;
    }
    const bool server = IsServerBook(path);
    const sql::Dialect dialect = server ? sql::Dialect::Server : sql::Dialect::File;
    QSqlDatabase db = connectionFor(dialect);
    qint32 number = 0;
    QString description;
    if (!(server ? openServerBook(db, path, readOnly, number, description)
                 : openProven(db, path, readOnly, number, description))) {
        errorMessage = "Open connection to " + path +
                       " failed, Error = " + QString::number(number) + " : " + description;
        LetEventsRun();
        return number;
    }
    state().path = path;
    state().dialect = dialect;
    sql::OpenDialect() = dialect;
    state().bookKey = server ? path : bookKeyOf(path);
    LetEventsRun();
    return 0;
}

void daoClose_DBConnection() {
    const bool server = onServer();
    state().path.clear();
    state().bookKey.clear();
    state().recordset.Reset();
    state().dialect = sql::Dialect::File;
    sql::OpenDialect() = sql::Dialect::File;
    // A server connection stays open for the next piece of work on the same book.
    if (!server && QSqlDatabase::contains(ConnectionName))
        database().close();
}

qint32 daoCompact_DB(const QString& sourcePath, const QString& destinationPath,
                     QString& errorMessage) {
    errorMessage.clear();
    if (!state().path.isEmpty()) {
        errorMessage = QStringLiteral("daoCompact_DB(): Database connection must be closed.");
        return -1;
    }
    if (IsServerBook(sourcePath) || IsServerBook(destinationPath)) {
        errorMessage = engine::Failure("daoCompact_DB", EngineError,
                                       QStringLiteral("a book on a server is not a file to copy"));
        return EngineError;
    }
    if (QFile::exists(destinationPath)) {
        errorMessage = engine::Failure("daoCompact_DB", EngineError,
                                       QStringLiteral("output file already exists"));
        return EngineError;
    }
    qint32 number = 0;
    QString description;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), CompactionName);
        if (openProven(db, sourcePath, true, number, description)) {
            QSqlQuery vacuum(db);
            if (!run(vacuum, QLatin1String(sql::CompactInto), {destinationPath})) {
                number = engine::ErrorNumber(vacuum.lastError());
                description = engine::ErrorText(vacuum.lastError());
            }
            vacuum.finish();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(CompactionName);
    if (number != 0) {
        QFile::remove(destinationPath); // never leave a half-written copy behind
        errorMessage = engine::Failure("daoCompact_DB", number, description);
    }
    return number;
}

qint32 daoIssue_EXEStatement(const QString& statement, QString& errorMessage,
                             const QVariantList& values) {
    errorMessage.clear();
    if (state().path.isEmpty()) {
        errorMessage = QStringLiteral("daoIssue_EXEStatement(): Database connection not opened");
        return -1;
    }
    qint32 result = 0;
    if (refusedAsDamaged("daoIssue_EXEStatement", result, errorMessage))
        return result;
    {
        QSqlDatabase db = database();
        QSqlQuery query(db);
        if (!run(query, statement, values)) {
            result = engine::ErrorNumber(query.lastError());
            errorMessage = engine::Failure(
                "daoIssue_EXEStatement", result,
                describeFailure(result, engine::ErrorText(query.lastError()), query.lastError()));
        }
    }
    LetEventsRun();
    return result;
}

qint32 daoGet_DBTableRecord(const QString& statement, QString& errorMessage,
                            const QVariantList& values) {
    QString given = statement;
    return daoGet_DBTableRecord2(QString(), errorMessage, QString(), QString(), std::nullopt, given,
                                 values);
}

qint32 daoGet_DBTableRecord2(const QString& table, QString& errorMessage, const QString& field,
                             const QString& keyField, const std::optional<QVariant>& key,
                             QString& statement, const QVariantList& values) {
    errorMessage.clear();
    if (state().path.isEmpty()) {
        errorMessage = QStringLiteral("daoGet_DBTableRecord2(): Database connection not opened");
        return -1;
    }
    QVariantList bound = values;
    if (statement.isEmpty()) {
        // Bracketed names cannot hold "]"; such a name is refused rather than spliced.
        for (const QString& name : {table, field, keyField}) {
            if (!onServer() && name.contains(']')) {
                state().recordset.Reset();
                errorMessage =
                    engine::Failure("daoGet_DBTableRecord2", EngineError,
                                    QStringLiteral("unrecognized token: \"") + name + '"');
                LetEventsRun();
                return EngineError;
            }
        }
        statement =
            QString::fromLatin1(sql::BuiltSelect)
                .arg(builtName(table), field == QLatin1String("*") ? field : builtName(field));
        if (!keyField.isEmpty() && key) {
            statement += QString::fromLatin1(sql::BuiltKeyCondition)
                             .arg(builtName(table), builtName(keyField));
            bound.prepend(*key);
        }
    }
    qint32 result = 0;
    {
        QSqlDatabase db = database();
        QSqlQuery query(db);
        query.setForwardOnly(true);
        std::vector<QVariantList> rows;
        if (run(query, statement, bound)) {
            const int columns = query.record().count();
            while (query.next()) {
                QVariantList row;
                row.reserve(columns);
                for (int i = 0; i < columns; ++i)
                    row.append(query.value(i));
                rows.push_back(std::move(row));
            }
        }
        if (query.lastError().isValid()) {
            rows.clear();
            result = engine::ErrorNumber(query.lastError());
            errorMessage = engine::Failure(
                "daoGet_DBTableRecord2", result,
                describeFailure(result, engine::ErrorText(query.lastError()), query.lastError()));
        }
        state().recordset.Reset(std::move(rows));
    }
    LetEventsRun();
    return result;
}

qint32 daoWrite_DBTableRecord(const QString& table, QString& errorMessage) {
    errorMessage.clear();
    if (state().path.isEmpty()) {
        errorMessage = QStringLiteral("daoWrite_DBTableRecord(): Database connection not opened");
        return -1;
    }
    state().recordset.Reset();
    qint32 result = 0;
    if (refusedAsDamaged("daoWrite_DBTableRecord", result, errorMessage))
        return result;
    {
        QSqlDatabase db = database();
        std::vector<Column> columns;
        QString catalogueName;
        QSqlError error;
        const QVariantList& buffer = state().buffer;
        if (readColumns(db, table, columns, catalogueName, error) &&
            buffer.size() > qsizetype(columns.size())) {
            error = QSqlError(QStringLiteral("table %1 has %2 columns but %3 values were supplied")
                                  .arg(table)
                                  .arg(columns.size())
                                  .arg(buffer.size()),
                              QString(), QSqlError::StatementError, QString::number(EngineError));
        }
        if (!error.isValid() && !buffer.isEmpty()) {
            QStringList names, marks;
            QVariantList values;
            for (qsizetype i = 0; i < buffer.size(); ++i) {
                names << quotedName(columns[i].name);
                marks << QStringLiteral("?");
                values << forColumn(buffer[i], columns[i].name, columns[i].type);
            }
            const QString statement =
                QString::fromLatin1(sql::AppendRecord)
                    .arg(quotedName(catalogueName), names.join(','), marks.join(','));
            QSqlQuery query(db);
            if (!run(query, statement, values))
                error = query.lastError();
        }
        if (error.isValid()) {
            result = engine::ErrorNumber(error);
            errorMessage =
                engine::Failure("daoWrite_DBTableRecord", result,
                                describeFailure(result, engine::ErrorText(error), error));
        }
    }
    LetEventsRun();
    return result;
}

namespace {
qint32 transactionStep(const char* routine, const char* statement, QString& errorMessage) {
    errorMessage.clear();
    if (state().path.isEmpty()) {
        errorMessage = QString::fromLatin1(routine) + "(): Database connection not opened";
        return -1;
    }
    QSqlDatabase db = database();
    QSqlQuery query(db);
    if (query.exec(QLatin1String(statement)))
        return 0;
    const qint32 number = engine::ErrorNumber(query.lastError());
    errorMessage = engine::Failure(
        routine, number,
        describeFailure(number, engine::ErrorText(query.lastError()), query.lastError()));
    return number;
}
} // namespace

qint32 daoBegin_Transaction(QString& errorMessage) {
    errorMessage.clear();
    qint32 refused = 0;
    if (!state().path.isEmpty() && refusedAsDamaged("daoBegin_Transaction", refused, errorMessage))
        return refused;
    return transactionStep("daoBegin_Transaction", sql::BeginTransaction, errorMessage);
}

QString ThisDesk() {
    static const QString desk = QUuid::createUuid().toString(QUuid::WithoutBraces);
    return desk;
}

qint32 daoCommit_Transaction(QString& errorMessage) {
    if (onServer() && !state().path.isEmpty()) {
        // Delivered to the listening desks only when the commit lands.
        QSqlQuery announce(database());
        if (!run(announce, QLatin1String(sql::AnnounceToDesks), {ThisDesk()})) {
            const qint32 number = engine::ErrorNumber(announce.lastError());
            errorMessage =
                engine::Failure("daoCommit_Transaction", number,
                                describeFailure(number, engine::ErrorText(announce.lastError()),
                                                announce.lastError()));
            daoRollback_Transaction();
            return number;
        }
    }
    const bool server = onServer();
    const qint32 result =
        transactionStep("daoCommit_Transaction", sql::CommitTransaction, errorMessage);
    // A connection lost on the commit itself may have lost only the server's answer.
    if (result != 0 && server && state().pooledServerBook.isEmpty())
        errorMessage += QStringLiteral(" Whether this save landed is not known: look at the "
                                       "account before saving it again.");
    if (result != 0)
        daoRollback_Transaction();
    return result;
}

void daoRollback_Transaction() {
    QString ignored;
    transactionStep("daoRollback_Transaction", sql::RollbackTransaction, ignored);
}
