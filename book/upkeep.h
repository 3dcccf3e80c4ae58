#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// What the settings window does to the book and to its side files, without any window.

// Compacts the book in place with the engine's VACUUM, which lands whole or not at all under
// the book's journal, so the book is never deleted or replaced; a server book is vacuumed and its
// statistics refreshed. Refused (-1) while the data
// layer has a connection open. When another program holds a lock on the book, the engine's
// busy error comes back after a short wait instead of the window hanging.
[[nodiscard]] qint32 CompactBookInPlace(const QString& path, QString& errorMessage);

// Writes a consistent snapshot of the book to backupFolder + "/" + the book's file name: into a
// temporary file in that folder first, then renamed over the previous copy, so the copy is
// either whole or the previous one stays. Temporary copies that interrupted backups of the same
// book left there are removed first; no other file is. A server book's copy is pg_dump's plain
// SQL dump of it, backupFolder + "/" + its database name + ".sql", kept the same way; a missing
// or failing pg_dump leaves the previous copy.
[[nodiscard]] qint32 BackUpBook(const QString& path, const QString& backupFolder,
                                QString& errorMessage);

// What a settings save does to the book that was in use: compaction, then, when the backup
// folder exists, the backup copy. Either may fail without stopping the other.
struct BookUpkeep {
    qint32 compaction = 0;
    std::optional<qint32> backup; // none when there is no backup folder
    QString backupError;          // why the backup copy was not written; empty when it was
};
[[nodiscard]] BookUpkeep CompactAndBackUpBook(const QString& path, const QString& backupFolder);

// Empty when the file is a Pellory book: a database of ours holding its three tables.
// Otherwise the reason it is not, naming the file.
std::optional<QString> NotAPelloryBook(const QString& path);

// The unit-description list. A new entry keeps at most its first 100 characters and is ignored
// when empty or when the list already holds it ignoring upper and lower case. Returns the new
// entry's position, or none when it was ignored.
inline constexpr qsizetype UnitDescriptionLimit = 100;
std::optional<qsizetype> AddUnitDescription(QStringList& list, const QString& answer);

// Purging the transaction log: when the backup folder exists the log is first copied there
// under its own name, whole (a temporary file renamed over the previous copy); the log is
// deleted only when that copy is complete, or when there is no backup folder.
enum class PurgeOutcome { Purged, CopyFailed, DeleteFailed };
[[nodiscard]] PurgeOutcome PurgeTransactionLog(const QString& logPath, const QString& backupFolder);
