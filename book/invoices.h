#pragma once

#include "invoicelines.h"
#include "records.h"
#include "result.h"

#include <vector>

// Invoice operations on the book the caller has open.

// None when the book holds no such invoice.
Result<std::optional<InvoiceRecord>> ReadInvoice(const QString& number);
Result<bool> InvoiceExists(const QString& number);
Result<std::vector<InvoiceRecord>> InvoicesOfAccount(const QString& account);
Result<std::vector<InvoiceRecord>> AllInvoices();

// The highest invoice number in the book made of digits only; none when the book has none.
Result<std::optional<qlonglong>> HighestInvoiceNumber();

enum class InvoiceStore { Stored, Duplicate };

// Stores a new invoice of `charges`: refused when its number is already in the book; otherwise
// the balance as stored at this moment becomes the invoice's amount past due, the balance
// becomes that plus the charges (the amount billed, with the unit description remembered), and
// the invoice row is added, all in one transaction. A payment or invoice stored meanwhile by
// another window is so never overwritten. On success invoice holds the figures stored.
Result<InvoiceStore> CreateInvoice(InvoiceRecord& invoice, double charges,
                                   const QString& unitDescription);

// The same for an invoice of priced lines (see PriceLines): the charges are the lines' total, and
// the lines are stored beside the row when the invoice needs them (NeedsLines).
Result<InvoiceStore> CreateInvoice(InvoiceRecord& invoice, const std::vector<InvoiceLine>& lines,
                                   const QString& unitDescription);

// The work of CreateInvoice for a caller that stores several invoices in one transaction of its
// own: Duplicate leaves that transaction to be rolled back by the caller.
Result<InvoiceStore> StoreInvoiceWithin(InvoiceRecord& invoice,
                                        const std::vector<InvoiceLine>& lines,
                                        const QString& unitDescription);
