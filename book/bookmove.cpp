#include "bookmove.h"

#include "blankbook.h"
#include "columns.h"
#include "enginecalls.h"
#include "formats.h"
#include "ownconnection.h"
#include "paths.h"
#include "statements.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>
#include <array>
#include <cmath>
#include <unistd.h>
#include <vector>

namespace {

const QString SourceConnection = QStringLiteral("pellory_move_source");
const QString TargetConnection = QStringLiteral("pellory_move_target");
constexpr int BusyMs = 5000;

struct TableCopy {
    const char* name;
    const char* select;
    int columns;
    std::vector<int> money;
    // Only in a book that has had an invoice of several lines or a tax rate.
    bool addedLater = false;
};

constexpr std::size_t TableCount = 6;

const std::array<TableCopy, TableCount>& bookTables() {
    static const std::array<TableCopy, TableCount> all{{
        {tables::CustomerProfile,
         sql::SelectAllProfiles,
         col::ProfileColumnCount,
         {col::PaymentAmount, col::UnitPrice}},
        {tables::Invoices,
         sql::SelectAllInvoices,
         col::InvoiceColumnCount,
         {col::PastDue, col::AmountBilled, col::AmountRecieved}},
        {tables::Logs, sql::SelectBalancesInAccountOrder, col::LogColumnCount, {col::Balance}},
        {tables::InvoiceLines, sql::SelectAllInvoiceLines, 9, {4, 5, 8}, true},
        {tables::TaxRates, sql::SelectAllTaxRates, 2, {}, true},
        {tables::AccountTax, sql::SelectAllAccountTax, 2, {}, true},
    }};
    return all;
}

using Rows = std::array<std::vector<QVariantList>, TableCount>;

struct Copy {
    Rows rows;
    bool hasLineTables = false;
    BookFigures figures;
};

// A failed step, in the engine's words.
struct StepError {
    QString description;
};

bool execute(QSqlQuery& query, const QString& statement, StepError& error) {
    if (query.exec(statement))
        return true;
    error.description = engine::ErrorText(query.lastError());
    return false;
}

std::optional<BookFigures> readFigures(QSqlDatabase& db, StepError& error) {
    QSqlQuery query(db);
    if (!execute(query, QLatin1String(sql::MoveFigures), error))
        return std::nullopt;
    if (!query.next()) {
        error.description = QStringLiteral("the book's figures could not be read");
        return std::nullopt;
    }
    const auto whole = [&query](int position) {
        return static_cast<qint64>(std::llround(query.value(position).toDouble()));
    };
    return BookFigures{whole(0), whole(1), whole(2), whole(3), whole(4), whole(5)};
}

std::optional<bool> hasLineTables(OwnConnection& source, StepError& error) {
    QSqlQuery query(source.db());
    const bool asked = query.prepare(QLatin1String(sql::TableExists.in(source.dialect())));
    if (asked)
        query.addBindValue(QString::fromLatin1(tables::AccountTax));
    if (!asked || !query.exec()) {
        error.description = engine::ErrorText(query.lastError());
        return std::nullopt;
    }
    return query.next();
}

// Every row of the book's tables by column position, money in cents as everywhere else, and the
// figures of the same state of the book.
std::optional<Copy> readBook(OwnConnection& source, StepError& error) {
    QSqlDatabase& db = source.db();
    Copy copy;
    {
        QSqlQuery begin(db);
        if (!execute(begin, QLatin1String(sql::BeginRead.in(source.dialect())), error))
            return std::nullopt;
    }
    const std::optional<bool> later = hasLineTables(source, error);
    bool read = later.has_value();
    copy.hasLineTables = later.value_or(false);
    for (std::size_t t = 0; read && t < bookTables().size(); ++t) {
        const TableCopy& table = bookTables()[t];
        if (table.addedLater && !copy.hasLineTables)
            continue;
        QSqlQuery query(db);
        query.setForwardOnly(true);
        read = execute(query, QLatin1String(table.select), error);
        if (read && query.record().count() != table.columns) {
            error.description = QStringLiteral("its table %1 has %2 columns where a book's has %3")
                                    .arg(QLatin1String(table.name))
                                    .arg(query.record().count())
                                    .arg(table.columns);
            read = false;
        }
        while (read && query.next()) {
            QVariantList row;
            for (int i = 0; i < table.columns; ++i)
                row << query.value(i);
            for (const int i : table.money)
                if (!row[i].isNull())
                    row[i] = RoundCents(row[i].toDouble());
            copy.rows[t].push_back(std::move(row));
        }
        if (read && query.lastError().isValid()) {
            error.description = engine::ErrorText(query.lastError());
            read = false;
        }
    }
    std::optional<BookFigures> figures = read ? readFigures(db, error) : std::nullopt;
    QSqlQuery end(db);
    end.exec(QLatin1String(sql::EndRead)); // a read changes nothing, however it ends
    if (!figures)
        return std::nullopt;
    copy.figures = *figures;
    return copy;
}

bool appendRows(QSqlDatabase& db, sql::Dialect dialect, const Copy& copy, StepError& error) {
    if (copy.hasLineTables) {
        QSqlQuery add(db);
        for (const sql::Dialectal& statement : sql::AddLineTables)
            if (!execute(add, QLatin1String(statement.in(dialect)), error))
                return false;
    }
    for (std::size_t t = 0; t < bookTables().size(); ++t) {
        const TableCopy& table = bookTables()[t];
        if (table.addedLater && !copy.hasLineTables)
            continue;
        QStringList marks;
        for (int i = 0; i < table.columns; ++i)
            marks << QStringLiteral("?");
        QSqlQuery append(db);
        if (!append.prepare(QString::fromLatin1(sql::AppendRow)
                                .arg(QLatin1String(table.name), marks.join(',')))) {
            error.description = engine::ErrorText(append.lastError());
            return false;
        }
        for (const QVariantList& row : copy.rows[t]) {
            for (int i = 0; i < table.columns; ++i)
                append.bindValue(i, row[i]);
            if (!append.exec()) {
                error.description =
                    QString::fromLatin1(table.name) + ": " + engine::ErrorText(append.lastError());
                return false;
            }
        }
    }
    return true;
}

QString money(qint64 cents) {
    return FormatMoney(static_cast<double>(cents) / 100.0);
}

// The first figure on which the copy differs from the book, in words; empty when they agree.
QString firstDifference(const BookFigures& book, const BookFigures& copy) {
    const auto rows = [](const char* table, qint64 inBook, qint64 inCopy) {
        return QStringLiteral("the rows of %1: %2 in the book, %3 in the copy")
            .arg(QLatin1String(table))
            .arg(inBook)
            .arg(inCopy);
    };
    const auto total = [](const char* figure, qint64 inBook, qint64 inCopy) {
        return QStringLiteral("the %1: %2 in the book, %3 in the copy")
            .arg(QLatin1String(figure), money(inBook), money(inCopy));
    };
    if (book.accounts != copy.accounts)
        return rows(tables::CustomerProfile, book.accounts, copy.accounts);
    if (book.invoices != copy.invoices)
        return rows(tables::Invoices, book.invoices, copy.invoices);
    if (book.balances != copy.balances)
        return rows(tables::Logs, book.balances, copy.balances);
    if (book.balanceCents != copy.balanceCents)
        return total("sum of the balances", book.balanceCents, copy.balanceCents);
    if (book.billedCents != copy.billedCents)
        return total("sum of the amounts billed", book.billedCents, copy.billedCents);
    if (book.receivedCents != copy.receivedCents)
        return total("sum of the amounts received", book.receivedCents, copy.receivedCents);
    return {};
}

// Fills the target, already in its transaction, and checks it against the book. Empty when the
// copy agrees and may be committed; otherwise why not.
QString fillAndCheck(QSqlDatabase& db, sql::Dialect dialect, const Copy& copy) {
    StepError error;
    if (!appendRows(db, dialect, copy, error))
        return "a row could not be written (" + error.description + ")";
    const std::optional<BookFigures> written = readFigures(db, error);
    if (!written)
        return "the copy could not be checked (" + error.description + ")";
    if (const QString difference = firstDifference(copy.figures, *written); !difference.isEmpty())
        return "the copy did not agree with the book on " + difference;
    return {};
}

BookFailure failed(const QString& what, const QString& kept) {
    return Refusal(what + ". Nothing was moved; " + kept + ".");
}

Outcome moveToServer(const Copy& copy, const QString& target) {
    const QString kept = QStringLiteral("the target is as it was");
    OwnConnection own(TargetConnection, target, false, BusyMs);
    if (!own.isOpen())
        return failed("The target " + target + " could not be opened: " + own.description(), kept);
    QSqlDatabase& db = own.db();
    StepError error;
    {
        QSqlQuery present(db);
        if (!execute(present, QLatin1String(sql::ServerTables), error))
            return failed("The tables of " + target + " could not be read: " + error.description,
                          kept);
        QStringList found;
        while (present.next())
            found << present.value(0).toString();
        if (!found.isEmpty())
            return failed("The target " + target + " already holds tables (" +
                              found.join(QLatin1String(", ")) +
                              "); a book moves only into an empty database",
                          kept);
    }
    QString problem;
    {
        QSqlQuery step(db);
        if (!execute(step, QLatin1String(sql::BeginTransaction.server), error))
            return failed("The move could not begin: " + error.description, kept);
        for (const QString& statement : ScriptStatements(ServerTablesScript()))
            if (problem.isEmpty() && !execute(step, statement, error))
                problem = "the book's tables could not be made (" + error.description + ")";
        if (problem.isEmpty())
            problem = fillAndCheck(db, sql::Dialect::Server, copy);
        if (problem.isEmpty() && !execute(step, QLatin1String(sql::CommitTransaction), error))
            problem = "the commit failed (" + error.description + ")";
        if (!problem.isEmpty())
            step.exec(QLatin1String(sql::RollbackTransaction));
    }
    if (!problem.isEmpty())
        return failed("The move to " + target + " was undone: " + problem, kept);
    return Done{};
}

Outcome moveToFile(const Copy& copy, const QString& target) {
    const QFileInfo file(target);
    // Made beside the target, so that the finished copy is only renamed into place.
    const QString scratch =
        file.dir().filePath('.' + file.fileName() + '.' +
                            QUuid::createUuid().toString(QUuid::Id128).left(8) + ".moving");
    const QString noFile = "no file was written at " + target;
    if (const QString made = WriteBlankBook(scratch); !made.isEmpty())
        return failed("A new book could not be made beside " + target + ": " + made, noFile);
    QString problem;
    {
        OwnConnection own(TargetConnection, scratch, false, BusyMs);
        if (!own.isOpen())
            problem = "the new book could not be opened (" + own.description() + ")";
        StepError error;
        QSqlQuery step(own.db());
        if (problem.isEmpty() && !execute(step, QLatin1String(sql::BeginTransaction.file), error))
            problem = "the move could not begin (" + error.description + ")";
        if (problem.isEmpty())
            problem = fillAndCheck(own.db(), sql::Dialect::File, copy);
        if (problem.isEmpty() && !execute(step, QLatin1String(sql::CommitTransaction), error))
            problem = "the commit failed (" + error.description + ")";
        if (!problem.isEmpty() && own.isOpen())
            step.exec(QLatin1String(sql::RollbackTransaction));
    }
    // A link is never made over an existing file, unlike a rename.
    if (problem.isEmpty() &&
        ::link(QFile::encodeName(scratch).constData(), QFile::encodeName(target).constData()) != 0)
        problem = "the finished copy could not be put in place as " + target +
                  (QFile::exists(target) ? QStringLiteral(", which another program made meanwhile")
                                         : QString());
    QFile::remove(scratch);
    QFile::remove(scratch + QStringLiteral("-journal"));
    if (!problem.isEmpty())
        return failed("The move to " + target + " was undone: " + problem, noFile);
    return Done{};
}

} // namespace

Result<BookFigures> MoveBook(const QString& source, const QString& target) {
    const bool toServer = IsServerBook(target);
    if (IsServerBook(source) == toServer)
        return failed(QStringLiteral("A book moves from a file to a database on a server, or from "
                                     "a server to a new file; ") +
                          source + " and " + target + " are of the same kind",
                      QStringLiteral("both are as they were"));
    if (!toServer && QFileInfo::exists(target))
        return failed("The file " + target + " already exists; a book moves only into a new file",
                      QStringLiteral("the file is as it was"));
    std::optional<Copy> copy;
    {
        OwnConnection own(SourceConnection, source, true, BusyMs);
        if (!own.isOpen())
            return failed("The book " + source + " could not be opened: " + own.description(),
                          QStringLiteral("the target is as it was"));
        StepError error;
        copy = readBook(own, error);
        if (!copy)
            return failed("The book " + source + " could not be read: " + error.description,
                          QStringLiteral("the target is as it was"));
    }
    if (Outcome moved = toServer ? moveToServer(*copy, target) : moveToFile(*copy, target); !moved)
        return moved.failure();
    return copy->figures;
}

QString DescribeMove(const BookFigures& moved, const QString& target) {
    return QStringLiteral("Moved the book to %1: %2 accounts (tbl_CustomerProfile), %3 invoices "
                          "(tbl_Invoices) and %4 balances (tbl_Logs). The balances total %5; "
                          "the invoices were billed %6 and received %7.")
        .arg(target)
        .arg(moved.accounts)
        .arg(moved.invoices)
        .arg(moved.balances)
        .arg(money(moved.balanceCents), money(moved.billedCents), money(moved.receivedCents));
}
