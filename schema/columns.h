#pragma once

#include <QString>

// Column positions of the three tables; readers take a row's values by these positions.
namespace col {

enum Profile {
    AccountNumber = 0,
    MasterAccount,
    CustomerName,
    Email,
    Phone,
    Address1,
    Address2,
    Address3,
    Address4,
    BusinessClass,
    Comments,
    InvoiceType,
    PaymentAmount,
    UnitPrice,
    PayableTo,
    BillAddress1,
    BillAddress2,
    BillAddress3,
    BillAddress4,
    BillCycle,
    Reserved,
    MonthDay,
    GraceDays,
    RecievingAddress1,
    RecievingAddress2,
    RecievingAddress3,
    RecievingAddress4,
    ProfileColumnCount
};

enum Invoice {
    InvoiceNumber = 0,
    InvoiceAccount,
    DateBilled,
    CheckNumber,
    DateDue,
    DateRecieved,
    PastDue,
    AmountBilled,
    AmountRecieved,
    InvoiceColumnCount
};

enum Log {
    LogAccount = 0,
    Balance,
    LastUnitDescription,
    DateCreated,
    DateLastUpdated,
    LogColumnCount
};

} // namespace col

namespace tables {
inline constexpr const char* CustomerProfile = "tbl_CustomerProfile";
inline constexpr const char* Invoices = "tbl_Invoices";
inline constexpr const char* Logs = "tbl_Logs";
// Tables a book gains at its first invoice of several lines or tax, or its first tax rate.
inline constexpr const char* InvoiceLines = "tbl_InvoiceLines";
inline constexpr const char* TaxRates = "tbl_TaxRates";
inline constexpr const char* AccountTax = "tbl_AccountTax";
} // namespace tables

// The marker a master account carries in its MasterAccount column.
inline constexpr const char* MasterMarker = "! this is a master account !";

// Date columns are named for it; the data layer converts their values to ISO dates.
inline bool IsDateColumn(const QString& name) {
    // A server keeps the names in lower case.
    return name.startsWith(QLatin1String("Date"), Qt::CaseInsensitive);
}
