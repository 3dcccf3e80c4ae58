#include "books.h"

#include "columns.h"
#include "testbook.h"

bool AddAccount(const QString& database, const AccountRow& row) {
    QVariantList profile(col::ProfileColumnCount);
    profile[col::AccountNumber] = row.account;
    profile[col::MasterAccount] = row.master;
    profile[col::CustomerName] = row.name;
    profile[col::Email] = row.email;
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
    const TestBook book(database);
    return book.append(tables::CustomerProfile, profile) &&
           book.append(tables::Logs, {row.account, row.balance, row.lastDescription,
                                      QDate::currentDate(), QDate::currentDate()});
}

bool AddInvoice(const QString& database, const InvoiceRow& row) {
    return TestBook(database).append(
        tables::Invoices, {row.number, row.account, row.billed, QVariant(), row.due, row.received,
                           row.pastDue, row.amountBilled, row.amountReceived});
}

QVariant ReadValue(const QString& database, const char* statement, const QVariantList& values,
                   int position) {
    const auto rows = TestBook(database).rows(statement, values);
    return rows.empty() ? QVariant() : rows.front().value(position);
}

int CountRows(const QString& database, const char* statement, const QVariantList& values) {
    return int(TestBook(database).rows(statement, values).size());
}
