#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <optional>
#include <vector>

// The data layer both programs use: one connection and one recordset per program. Every
// operation returns 0 on success, the engine's error number on failure, or -1 when the
// connection state forbids the call, and fills errorMessage with
// "<routine>(), Error = <number> : <description>" (empty on success). Values are always bound
// beside the statement, never spliced into it.
//
// A statement that meets a damaged file (the engine's error 11 or 26) has the book checked
// and marked damaged for the rest of the run: every later write to it is refused with error 11
// and a message naming the file and its copy in the backup folder.

// The rows of the last query, read by column position.
class Recordset {
  public:
    // Moves to the first row; false when there is none.
    bool MoveFirst();
    void MoveNext();
    bool EndOfFile() const;
    // The value at a column position of the current row; an invalid QVariant past the end.
    QVariant Fields(int position) const;
    int RecordCount() const { return static_cast<int>(rows_.size()); }

    void Reset(std::vector<QVariantList> rows = {});

  private:
    std::vector<QVariantList> rows_;
    std::size_t current_ = 0;
};

Recordset& SharedRecordset();

// The values of the next appended row, index = column position.
QVariantList& RecordBuffer();

// The path of the open connection; empty when none is open.
QString ConnectedPath();

// True when a statement found the book at path damaged during this run; nothing more is
// written to it then.
bool IsBookDamaged(const QString& path);

// Refused with -1 while a connection is open: close it first. A file that is no database, or
// lacks one of the book's three tables, does not open.
[[nodiscard]] qint32 daoOpen_DBConnection(const QString& path, QString& errorMessage,
                                          bool readOnly = false);
void daoClose_DBConnection();

// Copies a closed database into a new, compacted file. Refused while a connection is open and
// onto a file that already exists.
[[nodiscard]] qint32 daoCompact_DB(const QString& sourcePath, const QString& destinationPath,
                                   QString& errorMessage);

// An UPDATE or DELETE statement with its values.
[[nodiscard]] qint32 daoIssue_EXEStatement(const QString& statement, QString& errorMessage,
                                           const QVariantList& values = {});

// A query into SharedRecordset.
[[nodiscard]] qint32 daoGet_DBTableRecord(const QString& statement, QString& errorMessage,
                                          const QVariantList& values = {});

// Like daoGet_DBTableRecord; when statement is empty it is first built from the names,
// "SELECT [table].* FROM [table] WHERE ([table].[keyField]=?)", with the key bound, and handed
// back.
[[nodiscard]] qint32 daoGet_DBTableRecord2(const QString& table, QString& errorMessage,
                                           const QString& field, const QString& keyField,
                                           const std::optional<QVariant>& key, QString& statement,
                                           const QVariantList& values = {});

// Appends RecordBuffer to the table by column position, converting each value to its column's
// kind. The row is written whole or not at all.
[[nodiscard]] qint32 daoWrite_DBTableRecord(const QString& table, QString& errorMessage);

// A save of several statements runs between these; a failed commit rolls back. On a server book
// a commit also tells the other desks listening on the book that it changed, naming ThisDesk().

[[nodiscard]] qint32 daoBegin_Transaction(QString& errorMessage);
[[nodiscard]] qint32 daoCommit_Transaction(QString& errorMessage);
void daoRollback_Transaction();

// This running program among the desks sharing a server book.
QString ThisDesk();

// True while the open book is one on a PostgreSQL server.
bool ServerBookOpen();
