#pragma once

#include <QString>

// The shape of a generated sample book.
struct SampleBookSize {
    int accounts = 40;      // a quarter of them master accounts, the rest linked to them
    int invoices = 400;     // spread evenly over the accounts, one a month
    int unpaidPercent = 20; // the most recent months that stay unpaid, as a share of all
    unsigned int seed = 1;  // the same seed gives the same book
};

struct SampleBookResult {
    QString error; // empty on success
    int accounts = 0;
    int invoices = 0;
    int unpaid = 0;
    QString lastInvoice; // the highest invoice number written
};

// Writes a book at target (which must not exist yet): a blank book made from the schema, never
// a copy of a book in use, filled through the data layer with accounts, invoices over several
// months, payments, and balance rows that match the invoices and payments.
SampleBookResult WriteSampleBook(const QString& target, const SampleBookSize& size);
