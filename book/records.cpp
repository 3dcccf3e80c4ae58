#include "records.h"

#include "columns.h"
#include "formats.h"
#include "modDAO.h"

namespace {
QString textAt(const Recordset& rows, int column) {
    return rows.Fields(column).toString();
}

int numberAt(const Recordset& rows, int column) {
    return rows.Fields(column).toInt();
}

QVariant dateValue(const QDate& date) {
    return date.isValid() ? QVariant(date) : QVariant();
}

QVariant moneyValue(const std::optional<double>& amount) {
    return amount ? QVariant(RoundCents(*amount)) : QVariant();
}

template <std::size_t N>
void readLines(const Recordset& rows, std::array<QString, N>& lines, int firstColumn) {
    for (std::size_t i = 0; i < N; ++i)
        lines[i] = textAt(rows, firstColumn + static_cast<int>(i));
}

template <std::size_t N>
void writeLines(QVariantList& row, const std::array<QString, N>& lines, int firstColumn) {
    for (std::size_t i = 0; i < N; ++i)
        row[firstColumn + static_cast<int>(i)] = lines[i];
}
} // namespace

bool ProfileRecord::IsMaster() const {
    return MasterAccount == QLatin1String(MasterMarker);
}

ProfileRecord ProfileRecord::FromRow(const Recordset& rows) {
    ProfileRecord p;
    p.AccountNumber = textAt(rows, col::AccountNumber);
    p.MasterAccount = textAt(rows, col::MasterAccount);
    p.CustomerName = textAt(rows, col::CustomerName);
    p.Email = textAt(rows, col::Email);
    p.Phone = textAt(rows, col::Phone);
    readLines(rows, p.Address, col::Address1);
    p.BusinessClass = textAt(rows, col::BusinessClass);
    p.Comments = textAt(rows, col::Comments);
    p.InvoiceType = numberAt(rows, col::InvoiceType);
    p.PaymentAmount = rows.Fields(col::PaymentAmount);
    p.UnitPrice = rows.Fields(col::UnitPrice);
    p.PayableTo = textAt(rows, col::PayableTo);
    readLines(rows, p.BillAddress, col::BillAddress1);
    p.BillCycle = numberAt(rows, col::BillCycle);
    p.Reserved = numberAt(rows, col::Reserved);
    p.MonthDay = textAt(rows, col::MonthDay);
    p.GraceDays = numberAt(rows, col::GraceDays);
    readLines(rows, p.RecievingAddress, col::RecievingAddress1);
    return p;
}

QVariantList ProfileRecord::ToRow() const {
    QVariantList row(col::ProfileColumnCount);
    row[col::AccountNumber] = AccountNumber;
    row[col::MasterAccount] = MasterAccount;
    row[col::CustomerName] = CustomerName;
    row[col::Email] = Email;
    row[col::Phone] = Phone;
    writeLines(row, Address, col::Address1);
    row[col::BusinessClass] = BusinessClass;
    row[col::Comments] = Comments;
    row[col::InvoiceType] = InvoiceType;
    row[col::PaymentAmount] = PaymentAmount;
    row[col::UnitPrice] = UnitPrice;
    row[col::PayableTo] = PayableTo;
    writeLines(row, BillAddress, col::BillAddress1);
    row[col::BillCycle] = BillCycle;
    row[col::Reserved] = Reserved;
    row[col::MonthDay] = MonthDay;
    row[col::GraceDays] = GraceDays;
    writeLines(row, RecievingAddress, col::RecievingAddress1);
    return row;
}

InvoiceRecord InvoiceRecord::FromRow(const Recordset& rows) {
    InvoiceRecord i;
    i.InvoiceNumber = textAt(rows, col::InvoiceNumber);
    i.AccountNumber = textAt(rows, col::InvoiceAccount);
    i.DateBilled = DateFromStored(rows.Fields(col::DateBilled));
    i.CheckNumber = textAt(rows, col::CheckNumber);
    i.DateDue = DateFromStored(rows.Fields(col::DateDue));
    i.DateRecieved = DateFromStored(rows.Fields(col::DateRecieved));
    i.PastDue = ParseMoney(rows.Fields(col::PastDue));
    i.AmountBilled = ParseMoney(rows.Fields(col::AmountBilled));
    i.AmountRecieved = ParseMoney(rows.Fields(col::AmountRecieved));
    return i;
}

QVariantList InvoiceRecord::ToRow() const {
    QVariantList row(col::InvoiceColumnCount);
    row[col::InvoiceNumber] = InvoiceNumber;
    row[col::InvoiceAccount] = AccountNumber;
    row[col::DateBilled] = dateValue(DateBilled);
    row[col::CheckNumber] = CheckNumber.isEmpty() ? QVariant() : QVariant(CheckNumber);
    row[col::DateDue] = dateValue(DateDue);
    row[col::DateRecieved] = dateValue(DateRecieved);
    row[col::PastDue] = moneyValue(PastDue);
    row[col::AmountBilled] = moneyValue(AmountBilled);
    row[col::AmountRecieved] = moneyValue(AmountRecieved);
    return row;
}

BalanceRecord BalanceRecord::FromRow(const Recordset& rows) {
    BalanceRecord b;
    b.AccountNumber = textAt(rows, col::LogAccount);
    b.Balance = ParseMoney(rows.Fields(col::Balance));
    b.LastUnitDescription = textAt(rows, col::LastUnitDescription);
    b.DateCreated = DateFromStored(rows.Fields(col::DateCreated));
    b.DateLastUpdated = DateFromStored(rows.Fields(col::DateLastUpdated));
    return b;
}

QVariantList BalanceRecord::ToRow() const {
    return {AccountNumber, moneyValue(Balance), LastUnitDescription, dateValue(DateCreated),
            dateValue(DateLastUpdated)};
}
