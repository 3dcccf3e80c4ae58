#include "books.h"

#include "columns.h"
#include "modDAO.h"

#include <QTest>

namespace {
void append(const QString& database, const char* table, const QVariantList& values) {
    QString error;
    QCOMPARE(daoOpen_DBConnection(database, error), 0);
    RecordBuffer() = values;
    const qint32 result = daoWrite_DBTableRecord(QLatin1String(table), error);
    daoClose_DBConnection();
    QVERIFY2(result == 0, qPrintable(error));
}
} // namespace

void AddAccount(const QString& database, const AccountRow& row) {
    QVariantList profile(col::ProfileColumnCount);
    profile[col::AccountNumber] = row.account;
    profile[col::MasterAccount] = row.master;
    profile[col::CustomerName] = row.name;
    profile[col::InvoiceType] = row.invoiceType;
    profile[col::PaymentAmount] = row.fixedAmount;
    profile[col::UnitPrice] = row.unitPrice;
    profile[col::PayableTo] = row.payable;
    profile[col::BillAddress1] = row.name;
    profile[col::BillAddress2] = QStringLiteral("12 Mill Lane");
    profile[col::BillAddress3] = QStringLiteral("Springfield");
    profile[col::BillCycle] = row.billCycle;
    profile[col::Reserved] = 0;
    profile[col::MonthDay] = row.monthDay;
    profile[col::GraceDays] = row.graceDays;
    profile[col::RecievingAddress1] = QStringLiteral("Pellory Services");
    profile[col::RecievingAddress2] = QStringLiteral("PO Box 7");
    append(database, tables::CustomerProfile, profile);
    append(database, tables::Logs,
           {row.account, row.balance, row.lastDescription, QDate::currentDate(),
            QDate::currentDate()});
}

void AddInvoice(const QString& database, const InvoiceRow& row) {
    append(database, tables::Invoices,
           {row.number, row.account, row.billed, QVariant(), row.due, row.received, row.pastDue,
            row.amountBilled, row.amountReceived});
}

QVariant ReadValue(const QString& database, const char* statement, const QVariantList& values,
                   int position) {
    QString error;
    if (daoOpen_DBConnection(database, error) != 0)
        return {};
    QVariant value;
    if (daoGet_DBTableRecord(QLatin1String(statement), error, values) == 0 &&
        SharedRecordset().MoveFirst())
        value = SharedRecordset().Fields(position);
    daoClose_DBConnection();
    return value;
}

int CountRows(const QString& database, const char* statement, const QVariantList& values) {
    QString error;
    if (daoOpen_DBConnection(database, error) != 0)
        return -1;
    const int count = daoGet_DBTableRecord(QLatin1String(statement), error, values) == 0
                          ? SharedRecordset().RecordCount()
                          : -1;
    daoClose_DBConnection();
    return count;
}
