#pragma once

#include "reports.h"
#include "result.h"

#include <QDate>
#include <QString>
#include <vector>

// The tax collected in a period over every account, by rate: what a tax return asks for.

struct TaxCollectedRate {
    QString name; // empty for what was billed without tax
    double percent = 0.0;
    double net = 0.0;
    double tax = 0.0;
};

struct TaxCollected {
    QDate from;
    QDate to;
    std::vector<TaxCollectedRate> rates; // in name order, then percent; untaxed first
    double net = 0.0;
    double tax = 0.0;
};

// Reads from the book the caller has open the invoices billed from `from` to `to`, both days
// included: their stored lines summed by rate (a rate whose percent changed shows once for each
// percent), and an invoice stored as its row alone as untaxed at its amount billed.
Result<TaxCollected> ReadTaxCollected(const QDate& from, const QDate& to);

// The report on the report sheet: its title, the period, a line per rate from the first block
// row, the total tax where the summary shows the ending balance, and the totals below the lines.
ReportSheetPlan PlanTaxCollectedSheet(const TaxCollected& collected);
