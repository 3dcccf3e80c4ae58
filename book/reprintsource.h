#pragma once

#include "invoicelines.h"
#include "records.h"
#include "result.h"

#include <optional>

// What printing a stored invoice again puts on its form, read from the open book. The book
// keeps the invoice's dates and amounts and the account's profile; the rest is worked out
// where it can be, and left empty where it cannot, rather than printed wrong.
struct InvoiceReprint {
    InvoiceRecord invoice;
    ProfileRecord profile;
    double previous = 0.0; // the balance the invoice started from
    double charges = 0.0;  // what the invoice added to it
    double billed = 0.0;
    // "1" for a fixed or entered amount; for billing by units the count that the current unit
    // price turns into the charges to the cent; empty when no count does.
    QString units;
    // The account's last unit description, when this is the account's newest invoice (a
    // later one replaced it otherwise); empty then.
    QString description;
    // The lines as stored, empty for an invoice stored as its row alone.
    std::vector<InvoiceLine> lines;
};

// Fails, saying which, when the invoice or its account's profile is not in the book.
Result<InvoiceReprint> ReadInvoiceReprint(const QString& number);
