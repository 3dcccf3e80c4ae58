#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

// Rows written straight into the test's database, the way the windows store them.
struct AccountRow {
    QString account;
    QString master = QStringLiteral("! this is a master account !");
    QString name = QStringLiteral("Customer");
    int invoiceType = 0;
    double fixedAmount = 0.0;
    double unitPrice = 0.0;
    QString payable = QStringLiteral("Pellory Services");
    int billCycle = 0;
    QString monthDay = QStringLiteral("15");
    int graceDays = 0;
    double balance = 0.0;
    QString lastDescription;
    QString email;
};

struct InvoiceRow {
    QString number;
    QString account;
    QVariant billed; // a QDate, or null
    QVariant due;
    QVariant received;
    double pastDue = 0.0;
    double amountBilled = 0.0;
    double amountReceived = 0.0;
};

// Each opens the database, appends, and closes it again; false when the row was not stored.
[[nodiscard]] bool AddAccount(const QString& database, const AccountRow& row);
[[nodiscard]] bool AddInvoice(const QString& database, const InvoiceRow& row);

// A value of the first row a statement returns, or an invalid QVariant.
QVariant ReadValue(const QString& database, const char* statement, const QVariantList& values,
                   int position);
int CountRows(const QString& database, const char* statement, const QVariantList& values = {});
