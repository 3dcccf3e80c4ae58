#pragma once

#include "result.h"

#include <QString>
#include <vector>

class Recordset;

// The lines of an invoice and the tax on them. An invoice of one untaxed line is stored as the
// invoice row alone, as it always was; the lines of any other invoice live in a table of their
// own beside it, written in the same transaction. The invoice row keeps the total billed, so
// balances, payments and reports never need the lines.

// A named tax rate, in percent ("VAT 20 %" is {"VAT 20 %", 20.0}).
struct TaxRate {
    QString name;
    double percent = 0.0;
};

// Where tax is rounded to the cent: on each line, or once per rate on the invoice's total.
enum class TaxRounding { PerLine, OnTotal };

struct InvoiceLine {
    QString description;
    double units = 0.0;
    double rate = 0.0;   // the price of one unit
    double amount = 0.0; // units times rate, to the cent
    // The rate the line is billed at, kept with the line so a rate changed later never changes
    // an invoice already made. An empty name is no tax.
    QString taxName;
    double taxPercent = 0.0;
    double tax = 0.0; // the line's tax, to the cent
};

// Tax of one rate on one invoice.
struct TaxOfRate {
    QString name;
    double percent = 0.0;
    double net = 0.0;
    double tax = 0.0;
};

struct InvoiceTotals {
    double net = 0.0;
    std::vector<TaxOfRate> taxes; // one per rate used, in the order the lines first use them
    double tax = 0.0;
    double total = 0.0;
};

// Prices each line (amount = units times rate, to the cent) and its tax by the rounding rule,
// and totals the invoice. On the total, each rate's tax is rounded once and shared out over its
// lines so the lines' taxes add up to it; so both rules leave the tax per rate equal to the sum
// of its lines' stored taxes.
InvoiceTotals PriceLines(std::vector<InvoiceLine>& lines, TaxRounding rounding);

// The totals of lines already priced (as stored).
InvoiceTotals TotalOfLines(const std::vector<InvoiceLine>& lines);

// An invoice needs its lines stored, and the lines form to print on, when it has more than one
// line or any tax.
bool NeedsLines(const std::vector<InvoiceLine>& lines);

// A line read from the shared recordset, its columns from `first` on in the order of the
// lines table: description, units, rate, amount, tax name, percent, tax.
InvoiceLine LineFromRow(const Recordset& rows, int first);

// Whether the open book has ever held lines; one made before them has not.
Result<bool> BookHoldsLines();

// Reads from the book the caller has open. Empty for an invoice stored as its row alone, and
// for a book that has never held lines.
Result<std::vector<InvoiceLine>> LinesOfInvoice(const QString& invoiceNumber);

// The tax rates of the book, in name order; empty for a book that has none.
Result<std::vector<TaxRate>> ReadTaxRates();
// Replaces the book's tax rates with these, in one transaction. Refused, changing nothing, when
// a name is empty or used twice, or a percent is below 0 or 100 and over.
Outcome SaveTaxRates(const std::vector<TaxRate>& rates);

// The rate an account is billed at unless the invoice says otherwise; empty for none.
Result<QString> AccountTaxName(const QString& account);
// An empty name clears it.
Outcome SetAccountTaxName(const QString& account, const QString& taxName);

// Work inside a write transaction that needs the tables of lines and rates: a book made before
// them gains them here, within that transaction, once.
Outcome EnsureLineTables();
// Stores the lines of an invoice whose row is written in the same transaction, replacing any
// its number left behind (an older program deletes an invoice without its lines).
Outcome WriteInvoiceLines(const QString& invoiceNumber, const std::vector<InvoiceLine>& lines);
// Removes the lines of an invoice or of all an account's invoices, when the book has any.
Outcome DeleteInvoiceLines(const QString& invoiceNumber);
Outcome DeleteLinesOfAccount(const QString& account);
