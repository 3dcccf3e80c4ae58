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

// Stores a new invoice: refused when its number is already in the book; otherwise the
// account's balance becomes the amount billed (with the unit description remembered) and the
// invoice row is added, both in one transaction.
InvoiceStore CreateInvoice(const InvoiceRecord& invoice, const QString& unitDescription,
                           QString& error);
