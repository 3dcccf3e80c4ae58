#pragma once

// The steps the book's operations are made of: typed reads of the shared recordset, record
// appends, and work wrapped in one transaction.

#include "booksession.h"
#include "modDAO.h"

#include <optional>
#include <vector>

namespace bookwork {

template <typename Record>
std::vector<Record> ReadAll(const char* statement, const QVariantList& values, QString& error) {
    std::vector<Record> found;
    if (daoGet_DBTableRecord(QLatin1String(statement), error, values) != 0)
        return found;
    Recordset& rows = SharedRecordset();
    found.reserve(static_cast<std::size_t>(rows.RecordCount()));
    for (rows.MoveFirst(); !rows.EndOfFile(); rows.MoveNext())
        found.push_back(Record::FromRow(rows));
    return found;
}

template <typename Record>
std::optional<Record> ReadOne(const char* statement, const QVariant& key, QString& error) {
    if (daoGet_DBTableRecord(QLatin1String(statement), error, {key}) != 0 ||
        !SharedRecordset().MoveFirst())
        return std::nullopt;
    return Record::FromRow(SharedRecordset());
}

// The first value of the first row a statement returns; invalid when there is none.
inline QVariant ReadFirstValue(const char* statement, QString& error) {
    if (daoGet_DBTableRecord(QLatin1String(statement), error) != 0 ||
        !SharedRecordset().MoveFirst())
        return {};
    return SharedRecordset().Fields(0);
}

inline qint32 Append(const char* table, const QVariantList& row, QString& error) {
    RecordBuffer() = row;
    return daoWrite_DBTableRecord(QLatin1String(table), error);
}

inline qint32 Execute(const char* statement, const QVariantList& values, QString& error) {
    return daoIssue_EXEStatement(QLatin1String(statement), error, values);
}

// Runs work (returning 0 or an error number) inside one transaction: nothing lands unless
// all of it does.
template <typename Work> qint32 InTransaction(QString& error, Work work) {
    BookTransaction transaction;
    if (!transaction.begun()) {
        error = transaction.error();
        return transaction.result();
    }
    if (const qint32 result = work())
        return result;
    return transaction.commit(error);
}

} // namespace bookwork
