#pragma once

#include "result.h"
#include "sheettexts.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

// The rules of a summary report: which invoices and accounts it holds, its totals, and where
// each of its texts goes on the report sheet. No widgets and no office here.

enum class ReportType { YearToDate, Monthly, DateRange };

// Which accounts a report covers, starting from the chosen one.
enum class ReportedAccounts { ChosenAndLinked, OnlyLinked, OnlyChosen };

// The period as the user gave it; texts as typed.
struct ReportPeriod {
    ReportType type = ReportType::Monthly;
    int month = 1;     // monthly: 1 to 12
    QString monthName; // monthly: the month as listed
    QString year;      // monthly: compared as text with the billed date's year
    QString from;      // date range, both days included
    QString to;
    QDate today; // year to date runs from 1 January of today's year, with no end

    // Whether an invoice billed on this stored date belongs to the period; an empty or
    // unreadable date never does.
    bool includes(const QDate& billed) const;
    // The period as the report's header shows it.
    QString text() const;
};

struct ReportRequest {
    QString account;
    ReportPeriod period;
    ReportedAccounts accounts = ReportedAccounts::ChosenAndLinked;
};

// One invoice line, texts as printed.
struct ReportInvoiceLine {
    QString number;
    QString dateBilled;
    QString previousBalance;
    QString amountBilled;
    QString amountReceived;
    QString balance; // billed less received
    QString tax;     // the tax of its stored lines; 0.00 for an invoice without lines
};

struct ReportAccountBlock {
    QString account;
    QString name;
    std::vector<ReportInvoiceLine> invoices;
};

struct ReportTotals {
    double SumPreviousBalance = 0.0;
    double SumAmountBilled = 0.0;
    double SumPaymentReceived = 0.0;
    double SumEndingBalance = 0.0; // the reported accounts' balances now, whatever the period
    double SumTax = 0.0;
};

struct Report {
    QString account;
    QString periodText;
    std::vector<ReportAccountBlock> blocks;
    ReportTotals totals;
};

// Reads the report from the book the caller has open; a query that fails fails the whole
// report rather than leaving out what it would have read. Lets window events run while rows
// are read.
Result<Report> ReadReport(const ReportRequest& request);

// What the report window shows of an account as it is chosen.
struct ReportAccountCheck {
    bool profileFound = false;
    QString name;
    bool hasInvoices = false;
};

// Looks the account up in the book the caller has open.
Result<ReportAccountCheck> CheckReportAccount(const QString& account);

inline constexpr int ReportSheetIndex = 1;
inline constexpr int ReportTotalsColumn = 5; // E

// Where every text of a report goes on the report sheet, in writing order.
struct ReportSheetPlan {
    std::vector<SheetTexts> header;   // account and period
    std::vector<SheetTexts> headings; // in bold, beside the sheet's own
    std::vector<SheetTexts> blocks;   // per account its account line, then its invoice lines
    SheetTexts endingBalance;
    int labelRow = 0;  // bold Arial labels, from totalsColumn on
    int totalsRow = 0; // bordered totals, from totalsColumn on
    int totalsColumn = ReportTotalsColumn;
    QStringList labels;
    QStringList totals;
};

ReportSheetPlan PlanReportSheet(const Report& report);

// A text as written to the sheet: as text, so that nothing in it becomes a number or a formula.
QString AsSheetText(const QString& value);
