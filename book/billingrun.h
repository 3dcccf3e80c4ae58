#pragma once

#include "invoicedraft.h"
#include "invoicelines.h"
#include "records.h"
#include "result.h"

#include <QDate>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

// The month's billing in one run: every account due this month with the invoice its profile
// gives it, changed and ticked by the user, then all the ticked ones stored in one transaction.

struct PlannedInvoice {
    bool ticked = true;
    QString account;
    QString name;
    BillingTerms terms = BillingTerms::FixedAmount;
    // One line, priced (see Reprice): the description, units, rate and the account's tax.
    InvoiceLine line;
    QDate billed;
    QDate due;
    QString payable;
    QString email;  // the customer's, for emailing the invoice
    QString number; // proposed for a ticked row; empty for an unticked one
    QString note;   // what the user should know of the row, or why it is not ticked
    QString needs;  // what the user must enter before the row can be ticked; empty once entered
};

// What the row's note column says: what it needs, then its note.
inline QString NoteOf(const PlannedInvoice& row) {
    return row.needs.isEmpty() || row.note.isEmpty() ? row.needs + row.note
                                                     : row.needs + QStringLiteral(" ") + row.note;
}

// The figures of a row as it would be billed.
inline double TotalOf(const PlannedInvoice& row) {
    return row.line.amount + row.line.tax;
}

// Prices the row's line after its units or rate changed.
void Reprice(PlannedInvoice& row);

// Numbers the ticked rows consecutively from `first`, in order; the unticked get none. False
// when the numbers run past what an invoice number can hold.
bool NumberTicked(std::vector<PlannedInvoice>& rows, qlonglong first);

struct BillingRunTotals {
    int invoices = 0;
    double amount = 0.0;
    double tax = 0.0;
    double total = 0.0;
};
BillingRunTotals TotalOfTicked(const std::vector<PlannedInvoice>& rows);

struct BillingPlan {
    std::vector<PlannedInvoice> rows;
    qlonglong firstNumber = 0; // proposed for the first ticked row; 0 when none is left
};

// Every account due this month (AccountsDueThisMonth) with the invoice it would get, billed
// today, numbered from the "LastInvoice" setting and the book's highest number. An account billed
// by an amount the user enters, or by units the user enters, is planned unticked; so is one
// whose profile lacks what an invoice needs. Reads from the book the caller has open.
Result<BillingPlan> PlanBillingRun(const QDate& today, qlonglong lastInvoiceSetting);

// Why a ticked row cannot be stored as it is; none when it can.
std::optional<QString> CheckPlannedInvoice(const PlannedInvoice& row);

// One invoice as the run stored it.
struct StoredInvoice {
    InvoiceRecord invoice; // its number, dates, amount past due and amount billed as stored
    InvoiceLine line;
    double charges = 0.0; // the line's amount and tax
};

// Stores the ticked rows in one transaction, numbered consecutively from one above the higher of
// the "LastInvoice" setting and the book's highest number read inside that transaction (another
// desk may have stored invoices since the plan was made). All land or none does. beforeCommit,
// when given, sees the invoices after the last is written and before the commit. Refused,
// storing nothing, when no row is ticked or a ticked row fails its check.
Result<std::vector<StoredInvoice>>
StoreBillingRun(const std::vector<PlannedInvoice>& rows, qlonglong lastInvoiceSetting,
                const std::function<void(const std::vector<StoredInvoice>&)>& beforeCommit = {});
