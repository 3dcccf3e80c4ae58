#pragma once

#include "records.h"
#include "result.h"

#include <QStringList>

// The rules of an account's balance: its invoices in order, recording a payment, and removing
// the account's last invoice. Every operation works on the connection the caller has opened.

// The account's invoice numbers, oldest first: numeric numbers by value, then the rest by text.
// Invoice numbers rise with creation, so the last one is the newest whatever the row order.
Result<QStringList> ReadAccountInvoices(const QString& account);

// What the balance window shows of an account: its name, its invoices oldest first, and its
// stored balance (0.00 without a balance row).
struct AccountActivity {
    QString name;
    QStringList invoices;
    double balance = 0.0;
};
Result<AccountActivity> ReadAccountActivity(const QString& account);

// What the user entered against one invoice.
struct PaymentEntry {
    QString number;
    QDate dateReceived; // invalid: not received
    QString reference;
    double amountReceived = 0.0;
};

// The balance after the amount received on an invoice changes from what was recorded before to
// what is entered now: the balance moves by the difference only.
double BalanceAfterPayment(double balance, double receivedBefore, double receivedNow);

// Stores a payment entry in one transaction: the balance moves by the change against the amount
// received as stored now, so a payment or invoice stored meanwhile elsewhere is kept, and a
// second save of the same entry changes nothing. The invoice row keeps its stored figures
// apart from the entry. Hands back the balance stored.
Result<double> SavePayment(const PaymentEntry& entry);

// The balance after removing an invoice: what it contributed (its new charges, less the
// payment recorded on it) is taken back; payments on the account's other invoices stay.
double BalanceWithout(double storedBalance, const InvoiceRecord& invoice);

// Removed, or refused because another invoice is the account's last as stored now.
struct Removal {
    bool removed = false;
    QString lastInvoice; // when refused
};

// Removes the account's last invoice and rolls its balance back, in one transaction. A refusal
// or failure changes nothing.
Result<Removal> DeleteLastInvoice(const QString& account, const QString& number);
