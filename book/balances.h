#pragma once

#include "records.h"

#include <QStringList>

// The rules of an account's balance: its invoices in order, recording a payment, and removing
// the account's last invoice. Every operation works on the connection the caller has opened.

// The account's invoice numbers, oldest first: numeric numbers by value, then the rest by text.
// Invoice numbers rise with creation, so the last one is the newest whatever the row order.
qint32 ReadAccountInvoices(const QString& account, QStringList& numbers, QString& error);

// What the user entered against one invoice.
struct PaymentEntry {
    QString number;
    QDate dateReceived; // invalid: not received
    QString reference;
    double amountReceived = 0.0;
};

// Stores a payment entry in one transaction: the balance moves by the change against the amount
// received as stored now, so a payment or invoice stored meanwhile elsewhere is kept, and a
// second save of the same entry changes nothing. The invoice row keeps its stored figures
// apart from the entry. newBalance is the balance stored. 0 or the engine's error number.
qint32 SavePayment(const PaymentEntry& entry, double& newBalance, QString& error);

// The balance after removing an invoice: what it contributed (its new charges, less the
// payment recorded on it) is taken back; payments on the account's other invoices stay.
double BalanceWithout(double storedBalance, const InvoiceRecord& invoice);

enum class Removal { Removed, NotLast, Failed };

// Removes the account's last invoice and rolls its balance back, in one transaction. An invoice
// that is not the account's last as stored now is refused (lastInvoice names the last one); a
// refusal or failure changes nothing.
Removal DeleteLastInvoice(const QString& account, const QString& number, QString& lastInvoice,
                          QString& error);

// Removes the invoice's backup workbook and its PDF in backup/ of the program folder, whatever
// the letter case of their names; other files stay. False when one is still there.
bool RemoveInvoiceBackup(const QString& number);
