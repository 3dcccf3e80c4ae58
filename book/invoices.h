#pragma once

#include "records.h"

#include <vector>

// Invoice operations on the open book. Queries fill error on failure (empty otherwise).

std::optional<InvoiceRecord> ReadInvoice(const QString& number, QString& error);
bool InvoiceExists(const QString& number);
std::vector<InvoiceRecord> InvoicesOfAccount(const QString& account, QString& error);
std::vector<InvoiceRecord> AllInvoices(QString& error);

// The highest invoice number in the book made of digits only; none when the book has none or
// the query fails (with error filled).
std::optional<qlonglong> HighestInvoiceNumber(QString& error);

enum class InvoiceStore { Stored, Duplicate, Failed };

// Stores a new invoice of `charges`: refused when its number is already in the book; otherwise
// the balance as stored at this moment becomes the invoice's amount past due, the balance
// becomes that plus the charges (the amount billed, with the unit description remembered), and
// the invoice row is added, all in one transaction. A payment or invoice stored meanwhile by
// another window is so never overwritten. On success invoice holds the figures stored.
InvoiceStore CreateInvoice(InvoiceRecord& invoice, double charges, const QString& unitDescription,
                           QString& error);
