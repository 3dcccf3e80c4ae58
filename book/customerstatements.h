#pragma once

#include "records.h"
#include "reports.h"
#include "result.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

// The rules of a customer statement: one account's history as a running balance, and how old
// what it owes is. No widgets and no office here.

// The days a statement covers; an invalid date leaves that end open. Lines before `from` are
// carried in the opening balance; lines after `to` are left out and the statement is dated `to`.
struct StatementPeriod {
    QDate from;
    QDate to;
};

enum class StatementLineKind { Invoice, Payment };

struct StatementLine {
    StatementLineKind kind = StatementLineKind::Invoice;
    QDate date;         // date billed, or date received
    QDate due;          // an invoice's due date (its date billed when it has none)
    QString invoice;    // the invoice number, of a payment the invoice it was recorded on
    QString reference;  // a payment's check number
    double amount = 0;  // new charges of an invoice, amount received of a payment
    double balance = 0; // the running balance after this line
};

// What remains owed, by days past due on the statement date.
enum AgingBucket { NotYetDue, Days1To30, Days31To60, Days61To90, Over90, AgingBucketCount };
using Aging = std::array<double, AgingBucketCount>;

struct Statement {
    QString account;
    QDate date; // the statement date: the period's end, or today
    QDate from; // invalid when the statement starts with the account's first invoice
    ProfileRecord profile;
    bool profileFound = false;
    double opening = 0.0;
    std::vector<StatementLine> lines;
    double closing = 0.0;
    // The balance the book stores for the account, none when it has no balance row; compared
    // with the closing balance only when the statement runs to the last line.
    std::optional<double> storedBalance;
    bool complete = true; // no line was left out after the period
    Aging aging{};

    // The stored balance less the closing balance, when the two should agree but do not.
    std::optional<double> difference() const;
    bool isCredit() const { return closing < 0; }
};

// Builds the statement from the account's invoices in any order. Pure: the book is not read.
Statement BuildStatement(const QString& account, const std::vector<InvoiceRecord>& invoices,
                         const StatementPeriod& period, const QDate& today);

// The account's statement, read from the book the caller has open.
Result<Statement> ReadStatement(const QString& account, const StatementPeriod& period,
                                const QDate& today);

// The accounts whose stored balance is above zero, in account number order.
Result<QStringList> ReadAccountsOwing();

// Where every text of a statement goes on the statement sheet, in writing order.
struct StatementSheetPlan {
    std::vector<SheetTexts> texts;
    std::vector<std::pair<int, int>> bold;     // (row, column) in bold Arial
    std::vector<std::pair<int, int>> bordered; // (row, column) in bold Arial with a border
};

inline constexpr int StatementSheetIndex = 0;
inline constexpr int StatementHeadingRow = 15; // repeated at the top of every further page
StatementSheetPlan PlanStatementSheet(const Statement& statement);
