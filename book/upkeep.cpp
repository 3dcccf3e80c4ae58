#include "upkeep.h"

#include "columns.h"
#include "enginecalls.h"
#include "events.h"
#include "modDAO.h"
#include "ownconnection.h"
#include "paths.h"
#include "serveraddress.h"
#include "statements.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QUrl>
#include <cstdio>
#include <sys/file.h>
#include <unistd.h>

namespace {

const QString UpkeepConnection = QStringLiteral("pellory_upkeep");
constexpr qint32 EngineError = engine::GeneralError;
// Compaction gives way at once to another program holding the book; a backup copy only reads,
// so it waits a little longer for a writer to finish committing.
constexpr int CompactionBusyMs = 250;
constexpr int BackupBusyMs = 2000;
// A dump of a server book that runs longer than this has hung (a server that stopped answering);
// it is stopped and the previous copy stays.
constexpr int DumpTimeBoundMs = 30 * 60 * 1000;

sql::Dialect dialectOf(const QString& book) {
    return IsServerBook(book) ? sql::Dialect::Server : sql::Dialect::File;
}

// Runs one statement on a connection of our own, closed again before returning. A statement
// without values runs as it stands: a server cannot prepare VACUUM.
qint32 runOnOwnConnection(const QString& path, bool readOnly, int busyMs, const char* statement,
                          const QVariantList& values, QString& description) {
    OwnConnection own(UpkeepConnection, path, readOnly, busyMs);
    if (!own.isOpen()) {
        description = own.description();
        return own.number();
    }
    QSqlQuery query(own.db());
    bool done = values.isEmpty() || query.prepare(QLatin1String(statement));
    for (const QVariant& value : values)
        query.addBindValue(value);
    done = done && (values.isEmpty() ? query.exec(QLatin1String(statement)) : query.exec());
    if (done)
        return 0;
    description = engine::ErrorText(query.lastError());
    return engine::ErrorNumber(query.lastError());
}

QString fileNameOf(const QString& path) {
    return ExtractFileName(path).value_or(path);
}

// The engine does not flush the file VACUUM INTO writes; a copy renamed into place unflushed
// could come back empty after a power failure.
bool flushToDisk(QTemporaryFile& file) {
    return file.flush() && ::fsync(file.handle()) == 0;
}

bool replaceFile(const QString& from, const QString& to) {
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

// Copies a file whole: the target is replaced only once the copy is complete.
bool copyWhole(const QString& from, const QString& to) {
    QFile source(from);
    QSaveFile target(to);
    if (!source.open(QIODevice::ReadOnly) || !target.open(QIODevice::WriteOnly))
        return false;
    while (!source.atEnd()) {
        const QByteArray chunk = source.read(1 << 16);
        if (chunk.isEmpty() || target.write(chunk) != chunk.size()) {
            target.cancelWriting();
            break;
        }
    }
    return target.commit();
}

// Removes what interrupted backups of this book left (a program killed while copying): files of
// its temporary name (".<book>.XXXXXX", the Xs letters or digits) that no save in progress holds,
// and the engine's journals beside them ("-journal" added). A save holds its copy locked until
// it is renamed, and the lock goes with the process however it ends.
void removeStaleCopies(const QString& backupFolder, const QString& bookName) {
    const QRegularExpression ours("^(\\." + QRegularExpression::escape(bookName) +
                                  "\\.[A-Za-z0-9]{6})(-journal)?$");
    const QDir folder(backupFolder);
    const QStringList names =
        folder.entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks);
    for (const QString& name : names) {
        if (const auto match = ours.match(name); !match.hasMatch() || match.hasCaptured(2))
            continue;
        QFile copy(folder.filePath(name));
        if (copy.open(QIODevice::ReadOnly) && ::flock(copy.handle(), LOCK_EX | LOCK_NB) == 0)
            QFile::remove(copy.fileName());
    }
    // A journal goes with its copy; one whose copy is still there belongs to a save in progress.
    for (const QString& name : names)
        if (const auto match = ours.match(name);
            match.hasCaptured(2) && !QFile::exists(folder.filePath(match.captured(1))))
            QFile::remove(folder.filePath(name));
}

} // namespace

qint32 CompactBookInPlace(const QString& path, QString& errorMessage) {
    errorMessage.clear();
    if (!ConnectedPath().isEmpty()) {
        errorMessage = QStringLiteral("CompactBookInPlace(): Database connection must be closed.");
        return -1;
    }
    QString description;
    // A server vacuums outside any transaction; the statement runs on its own, as the only one.
    const qint32 number = runOnOwnConnection(
        path, false, CompactionBusyMs, sql::CompactInPlace.in(dialectOf(path)), {}, description);
    if (number != 0)
        errorMessage = engine::Failure("CompactBookInPlace", number, description);
    return number;
}

namespace {

// A server book's copy is the server's own dump of it, as SQL, in backupFolder/<database>.sql:
// written under a temporary name and renamed over the previous copy only when the dump ended
// well, so the copy is whole or the previous one stays.
qint32 backUpServerBook(const QString& uri, const QString& backupFolder, QString& description) {
    const ServerAddressReading reading = ReadServerAddress(uri);
    if (!reading.refusal.isEmpty()) {
        description = reading.refusal;
        return EngineError;
    }
    const QString dumper = QStandardPaths::findExecutable(QStringLiteral("pg_dump"));
    if (dumper.isEmpty()) {
        description = QStringLiteral("pg_dump, which copies a book on a server, is not installed "
                                     "(package postgresql-client); the previous copy is kept");
        return EngineError;
    }
    const QString name = reading.address.database + QStringLiteral(".sql");
    removeStaleCopies(backupFolder, name);
    QTemporaryFile scratch(backupFolder + "/." + name + ".XXXXXX");
    if (!scratch.open()) {
        description = scratch.errorString();
        return EngineError;
    }
    ::flock(scratch.handle(), LOCK_EX | LOCK_NB); // marks the copy as in progress
    QProcess dump;
    dump.setProcessChannelMode(QProcess::MergedChannels);
    dump.start(dumper,
               {QStringLiteral("--format=plain"), QStringLiteral("--no-password"),
                QStringLiteral("--file=") + scratch.fileName(), QStringLiteral("--dbname=") + uri});
    if (!dump.waitForStarted()) {
        description =
            "pg_dump could not be started: " + dump.errorString() + "; the previous copy is kept";
        return EngineError;
    }
    if (!WaitLettingEventsRun(DumpTimeBoundMs, [&dump] {
            return dump.state() == QProcess::NotRunning || dump.waitForFinished(0);
        })) {
        dump.kill();
        dump.waitForFinished();
        description = QStringLiteral("pg_dump did not finish in time and was stopped; the "
                                     "previous copy is kept");
        return EngineError;
    }
    if (dump.exitStatus() != QProcess::NormalExit || dump.exitCode() != 0) {
        description = "pg_dump failed: " + QString::fromLocal8Bit(dump.readAll()).trimmed() +
                      "; the previous copy is kept";
        return EngineError;
    }
    if (!flushToDisk(scratch)) {
        description = scratch.errorString();
        return EngineError;
    }
    if (!replaceFile(scratch.fileName(), backupFolder + '/' + name)) {
        description = "cannot replace " + backupFolder + '/' + name;
        return EngineError;
    }
    return 0;
}

} // namespace

qint32 BackUpBook(const QString& path, const QString& backupFolder, QString& errorMessage) {
    errorMessage.clear();
    if (IsServerBook(path)) {
        QString description;
        const qint32 number = backUpServerBook(path, backupFolder, description);
        if (number != 0)
            errorMessage = engine::Failure("BackUpBook", number, description);
        return number;
    }
    const QString target = backupFolder + '/' + fileNameOf(path);
    // A book kept in the backup folder is its own copy; renaming over it would replace the book.
    if (QFileInfo(target).exists() &&
        QFileInfo(target).canonicalFilePath() == QFileInfo(path).canonicalFilePath()) {
        errorMessage =
            engine::Failure("BackUpBook", EngineError, QStringLiteral("the book is its own copy"));
        return EngineError;
    }
    removeStaleCopies(backupFolder, fileNameOf(path));
    QTemporaryFile scratch(backupFolder + "/." + fileNameOf(path) + ".XXXXXX");
    if (!scratch.open()) {
        errorMessage = engine::Failure("BackUpBook", EngineError, scratch.errorString());
        return EngineError;
    }
    ::flock(scratch.handle(), LOCK_EX | LOCK_NB); // marks the copy as in progress
    QString description;
    qint32 number = runOnOwnConnection(path, true, BackupBusyMs, sql::CompactInto,
                                       {scratch.fileName()}, description);
    scratch.setPermissions(QFile::permissions(path)); // readable by whoever reads the book
    if (number == 0 && !flushToDisk(scratch)) {
        number = EngineError;
        description = scratch.errorString();
    }
    if (number == 0 && !replaceFile(scratch.fileName(), target)) {
        number = EngineError;
        description = QStringLiteral("cannot replace ") + target;
    }
    if (number != 0)
        errorMessage = engine::Failure("BackUpBook", number, description);
    return number;
}

BookUpkeep CompactAndBackUpBook(const QString& path, const QString& backupFolder) {
    BookUpkeep upkeep;
    // A damaged book is left as it is: its copy in the backup folder is what the user restores.
    if (IsBookDamaged(path)) {
        upkeep.compaction = -1;
        return upkeep;
    }
    QString ignored;
    upkeep.compaction = CompactBookInPlace(path, ignored);
    if (QDir(backupFolder).exists())
        upkeep.backup = BackUpBook(path, backupFolder, upkeep.backupError);
    return upkeep;
}

std::optional<QString> NotAPelloryBook(const QString& path) {
    // Opening proves the file is one of our books: a database holding the three tables.
    QString error;
    if (daoOpen_DBConnection(path, error, true) != 0)
        return "The file " + path + " cannot be used as the Pellory database.\n\n" + error;
    daoClose_DBConnection();
    return std::nullopt;
}

std::optional<qsizetype> AddUnitDescription(QStringList& list, const QString& answer) {
    QString entry = answer.left(UnitDescriptionLimit);
    if (entry.size() == UnitDescriptionLimit && entry.back().isHighSurrogate())
        entry.chop(1); // never keep half a character
    if (entry.isEmpty())
        return std::nullopt;
    for (const QString& listed : list)
        if (listed.compare(entry, Qt::CaseInsensitive) == 0)
            return std::nullopt;
    list.append(entry);
    return list.size() - 1;
}

PurgeOutcome PurgeTransactionLog(const QString& logPath, const QString& backupFolder) {
    if (!QFile::exists(logPath))
        return PurgeOutcome::Purged; // nothing to keep; the previous copy stays
    if (QDir(backupFolder).exists() &&
        !copyWhole(logPath, backupFolder + '/' + fileNameOf(logPath)))
        return PurgeOutcome::CopyFailed;
    return QFile::remove(logPath) ? PurgeOutcome::Purged : PurgeOutcome::DeleteFailed;
}
