#pragma once

#include "invoicelines.h"
#include "records.h"
#include "result.h"

#include <QDate>
#include <QString>
#include <optional>
#include <variant>

// The rules of a new invoice before it is stored: the number proposed, the due date, the charges
// the account's billing terms give, the amount billed, and the checks of what the user entered.
// The window shows these and takes the user's changes; nothing here touches a widget.

// How an account is billed (the profile's InvoiceType).
enum class BillingTerms { EnteredAmount = 0, FixedAmount = 1, ByUnits = 2 };
BillingTerms TermsOf(const ProfileRecord& profile);

// The next number: one above the higher of the "LastInvoice" setting and the book's highest
// numeric invoice ("LastInvoice" is raised only after a commit, so after a crash in between it
// lags behind the book). Empty beyond the numbers an invoice number can hold.
QString ProposedInvoiceNumber(qlonglong lastInvoiceSetting, std::optional<qlonglong> highestStored);

// The billing date plus the grace days, moved past a weekend.
QDate DueDate(const QDate& billed, int graceDays);

// What the charges start as for an account's terms.
struct ChargesStart {
    bool amountEntered = false; // the user types the new charges
    bool unitsEntered = false;  // the user types the units; the charges follow
    QString units;
    double amount = 0.0;
    double unitRate = 0.0;
};
ChargesStart StartCharges(const ProfileRecord& profile);

// Previous balance plus the new charges, to the cent.
double AmountBilled(double previous, double charges);

// Everything the window shows of an account when it is chosen, read from the open book. None
// when the account is not in the book. An account without a balance row owes 0.00 and has no
// unit description.
struct InvoiceDraft {
    ProfileRecord profile;
    QString number;
    double previous = 0.0;
    QString unitDescription;
    // The book's tax rates, and the one the account is billed at unless the invoice says
    // otherwise (empty for none, and for a rate no longer among them).
    std::vector<TaxRate> taxRates;
    QString taxName;
};
Result<std::optional<InvoiceDraft>> DraftInvoice(const QString& account,
                                                 qlonglong lastInvoiceSetting);

// What the user entered, as typed. Checking fills empty units and charges with "0" and "0.00".
struct InvoiceEntry {
    QString number;
    QString payable;
    QString description;
    QString dateBilled;
    QString dateDue;
    QString units;
    QString charges;
};

enum class InvoiceField { Number, Payable, Description, DateBilled, DateDue, Units, Charges };

struct InvoiceRefusal {
    InvoiceField field;
    QString message;
};

// The first check the entry fails, in the order the user is told; none when it passes.
std::optional<InvoiceRefusal> CheckInvoiceEntry(InvoiceEntry& entry);

// A further line of an invoice as typed: description, units and rate, and the tax rate's name
// (empty for none).
struct LineEntry {
    QString description;
    QString units;
    QString rate;
    QString taxName;
};

// The line the entry makes, taxed at the named rate among these; the message for the first thing
// wrong with it otherwise (lineNumber says which line in the message).
std::variant<InvoiceLine, QString> ReadLineEntry(const LineEntry& entry, int lineNumber,
                                                 const std::vector<TaxRate>& rates);
