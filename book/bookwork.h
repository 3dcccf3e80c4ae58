#pragma once

// The steps the book's operations are made of: typed reads of the shared recordset, record
// appends, and work wrapped in one transaction. Each hands back a Result.

#include "booksession.h"
#include "modDAO.h"
#include "result.h"
#include "statements.h"

#include <optional>
#include <vector>

namespace bookwork {

// A data-layer call's result number and message as a Result.
inline Outcome Checked(qint32 number, const QString& error) {
    if (number == 0)
        return Done{};
    return BookFailure{number, error};
}

inline Outcome Query(const char* statement, const QVariantList& values) {
    QString error;
    const qint32 number = daoGet_DBTableRecord(QLatin1String(statement), error, values);
    return Checked(number, error);
}

template <typename Record>
Result<std::vector<Record>> ReadAll(const char* statement, const QVariantList& values = {}) {
    if (Outcome queried = Query(statement, values); !queried)
        return queried.failure();
    std::vector<Record> found;
    Recordset& rows = SharedRecordset();
    found.reserve(static_cast<std::size_t>(rows.RecordCount()));
    for (rows.MoveFirst(); !rows.EndOfFile(); rows.MoveNext())
        found.push_back(Record::FromRow(rows));
    return found;
}

// None when no row matches.
template <typename Record>
Result<std::optional<Record>> ReadOne(const char* statement, const QVariant& key) {
    if (Outcome queried = Query(statement, {key}); !queried)
        return queried.failure();
    if (!SharedRecordset().MoveFirst())
        return std::optional<Record>();
    return std::optional<Record>(Record::FromRow(SharedRecordset()));
}

// The first value of the first row a statement returns; invalid when there is none.
inline Result<QVariant> ReadFirstValue(const char* statement, const QVariantList& values = {}) {
    if (Outcome queried = Query(statement, values); !queried)
        return queried.failure();
    return SharedRecordset().MoveFirst() ? SharedRecordset().Fields(0) : QVariant();
}

// The first column of every row.
inline Result<QStringList> ReadFirstColumn(const char* statement, const QVariantList& values = {}) {
    if (Outcome queried = Query(statement, values); !queried)
        return queried.failure();
    QStringList found;
    Recordset& rows = SharedRecordset();
    for (rows.MoveFirst(); !rows.EndOfFile(); rows.MoveNext())
        found << rows.Fields(0).toString();
    return found;
}

inline Outcome Append(const char* table, const QVariantList& row) {
    RecordBuffer() = row;
    QString error;
    const qint32 number = daoWrite_DBTableRecord(QLatin1String(table), error);
    return Checked(number, error);
}

inline Outcome Execute(const char* statement, const QVariantList& values) {
    QString error;
    const qint32 number = daoIssue_EXEStatement(QLatin1String(statement), error, values);
    return Checked(number, error);
}

// Runs work (returning an Outcome) inside one transaction: nothing lands unless all of it does.
// Holds the account against other desks until the transaction ends. Every save that changes an
// account holds it before reading what it changes, so saves on one account never interleave and
// never wait on each other in a circle. A file book's transaction holds the whole book already.
inline Outcome HoldAccount(const QString& account) {
    if (!ServerBookOpen())
        return Done{};
    return Query(sql::HoldAccount, {account});
}

// True when a save failed on a unique key another desk took first (the server's unique
// violation, or the file's).
inline bool IsTakenKey(const BookFailure& failure) {
    return failure.code == 23505 || failure.code == 2067;
}

template <typename Work> Outcome InTransaction(Work work) {
    BookTransaction transaction;
    if (!transaction.begun())
        return BookFailure{transaction.result(), transaction.error()};
    if (Outcome done = work(); !done)
        return done;
    return transaction.commit();
}

} // namespace bookwork
