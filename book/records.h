#pragma once

#include <QDate>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <array>
#include <optional>

class Recordset;

// The rows of the book's three tables as the program works with them. Each table's columns
// are read by position here and nowhere else, and written back in the same order.

struct ProfileRecord {
    QString AccountNumber;
    QString MasterAccount;
    QString CustomerName;
    QString Email;
    QString Phone;
    std::array<QString, 4> Address;
    QString BusinessClass;
    QString Comments;
    int InvoiceType = 0;
    // Money as stored (a number or null); when written, text the column cannot hold is passed
    // on so that the column refuses it.
    QVariant PaymentAmount;
    QVariant UnitPrice;
    QString PayableTo;
    std::array<QString, 4> BillAddress;
    int BillCycle = 0;
    int Reserved = 0;
    QString MonthDay;
    int GraceDays = 0;
    std::array<QString, 4> RecievingAddress;

    bool IsMaster() const;
    static ProfileRecord FromRow(const Recordset& rows);
    QVariantList ToRow() const;
};

struct InvoiceRecord {
    QString InvoiceNumber;
    QString AccountNumber;
    QDate DateBilled; // invalid when none is stored
    QString CheckNumber;
    QDate DateDue;
    QDate DateRecieved;
    std::optional<double> PastDue;
    std::optional<double> AmountBilled;
    std::optional<double> AmountRecieved;

    bool IsPaid() const { return DateRecieved.isValid(); }
    static InvoiceRecord FromRow(const Recordset& rows);
    QVariantList ToRow() const;
};

struct BalanceRecord {
    QString AccountNumber;
    std::optional<double> Balance;
    QString LastUnitDescription;
    QDate DateCreated;
    QDate DateLastUpdated;

    static BalanceRecord FromRow(const Recordset& rows);
    QVariantList ToRow() const;
};
