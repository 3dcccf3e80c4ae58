#pragma once

#include "records.h"
#include "result.h"

#include <QString>
#include <QStringList>
#include <vector>

// Customers taken from the rows of a comma-separated file into the book.

// The profile field a column fills; None leaves the column out.
enum class ImportField {
    None,
    AccountNumber,
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
    MonthDay,
    GraceDays,
    RecievingAddress1,
    RecievingAddress2,
    RecievingAddress3,
    RecievingAddress4,
};

// Every field in the order a chooser lists them, None first.
const std::vector<ImportField>& ImportFields();
// The field as a column heading names it, e.g. "Account Number"; "(not imported)" for None.
QString ImportFieldName(ImportField field);

// The field of each column, by position.
using ImportMapping = std::vector<ImportField>;

// Each column whose heading names a field (spaces, punctuation and case aside, with a few
// common other names such as "Name" and "Recieving Address 1") gets it; the rest and any
// later column naming a field already taken get None.
ImportMapping DefaultMapping(const QStringList& header);

// The profile a row describes, or why the row cannot be one: the editor's own checks, or a
// number out of its range. The account number is trimmed, as the editor stores it. A blank master
// account makes a master account; a blank amount is 0.00; blank invoice type, billing cycle and
// grace days are 0; a blank month day is 15, as a new account in the editor starts.
[[nodiscard]] Result<ProfileRecord> ImportedProfile(const QStringList& row,
                                                    const ImportMapping& mapping);

struct ImportSummary {
    QStringList stored;   // the account numbers stored, in the order they were stored
    QStringList replaced; // those of them that replaced an account of the book
    QStringList skipped;  // why each row left out was left out: "Row <n>: <reason>"
};

// Stores one profile for each row the rules accept, in one transaction: all of them or, when the
// book fails or refuses one, none. Rows are the records after the heading row, which is row 1 in
// the reasons. Masters are stored before the accounts linked to them, which need a master in the
// book or in the file. An account already in the book, or earlier in the file, is skipped; with
// replaceDuplicates one in the book is replaced.
[[nodiscard]] Result<ImportSummary> ImportCustomers(const std::vector<QStringList>& rows,
                                                    const ImportMapping& mapping,
                                                    bool replaceDuplicates);
