#pragma once

// Every statement the programs issue, with "?" where a value is bound beside it.
// Values are never spliced into the text, so a quote in any field is stored as typed.
namespace sql {

inline constexpr const char* SelectAllProfiles = "SELECT * FROM tbl_CustomerProfile";
inline constexpr const char* SelectProfile =
    "SELECT * FROM tbl_CustomerProfile WHERE AccountNumber = ?";
inline constexpr const char* SelectProfilesOfMaster =
    "SELECT * FROM tbl_CustomerProfile WHERE MasterAccount = ?";
// Values: the first day of a month and of the next one, as ISO dates.
inline constexpr const char* SelectAccountsBilledBetween =
    "SELECT DISTINCT AccountNumber FROM tbl_Invoices WHERE DateBilled >= ? AND DateBilled < ?";
inline constexpr const char* SelectCycleProfiles =
    "SELECT * FROM tbl_CustomerProfile WHERE BillCycle > 0 ORDER BY MonthDay";
inline constexpr const char* DeleteProfile =
    "DELETE FROM tbl_CustomerProfile WHERE AccountNumber = ?";

inline constexpr const char* SelectAllInvoices = "SELECT * FROM tbl_Invoices";
inline constexpr const char* SelectInvoice = "SELECT * FROM tbl_Invoices WHERE InvoiceNumber = ?";
inline constexpr const char* SelectInvoicesOfAccount =
    "SELECT * FROM tbl_Invoices WHERE AccountNumber = ?";
inline constexpr const char* SelectInvoicesOfAccountByNumber =
    "SELECT * FROM tbl_Invoices WHERE AccountNumber = ? ORDER BY InvoiceNumber";
inline constexpr const char* DeleteInvoicesOfAccount =
    "DELETE FROM tbl_Invoices WHERE AccountNumber = ?";
inline constexpr const char* DeleteInvoice = "DELETE FROM tbl_Invoices WHERE InvoiceNumber = ?";

inline constexpr const char* SelectBalance = "SELECT * FROM tbl_Logs WHERE AccountNumber = ?";
inline constexpr const char* DeleteBalance = "DELETE FROM tbl_Logs WHERE AccountNumber = ?";
// Values: new balance, unit description, today's date, account number.
inline constexpr const char* UpdateBalanceAndDescription =
    "UPDATE tbl_Logs SET Balance = ?,LastUnitDescription = ?,DateLastUpdated = ? "
    "WHERE AccountNumber = ?";
// Values: new balance, today's date, account number.
inline constexpr const char* UpdateBalance =
    "UPDATE tbl_Logs SET Balance = ?,DateLastUpdated = ? WHERE AccountNumber = ?";

// The data layer's own statements.
// %1 stands for a table name the layer has checked against the file's own catalogue.
inline constexpr const char* TableExists =
    "SELECT name FROM sqlite_master WHERE type = 'table' AND name = ?";
inline constexpr const char* TableColumns =
    "SELECT name, type FROM pragma_table_info(?) ORDER BY cid";
inline constexpr const char* ProveDatabase = "SELECT count(*) FROM sqlite_master";
inline constexpr const char* AppendRecord = "INSERT INTO \"%1\" (%2) VALUES (%3)";
inline constexpr const char* BuiltSelect = "SELECT [%1].%2 FROM [%1]";
inline constexpr const char* BuiltKeyCondition = " WHERE ([%1].[%2]=?)";
inline constexpr const char* BeginTransaction = "BEGIN IMMEDIATE";
inline constexpr const char* CommitTransaction = "COMMIT";
inline constexpr const char* RollbackTransaction = "ROLLBACK";
inline constexpr const char* CompactInto = "VACUUM INTO ?";
// The engine's own version, for the About window.
inline constexpr const char* EngineVersion = "SELECT sqlite_version()";

// The settings window's upkeep of the book.
// Compacts the book in place; the engine applies it whole or not at all under its journal.
inline constexpr const char* CompactInPlace = "VACUUM";

// The summary report's invoices: number order, numerically where the numbers are numbers
// (text order would put "10000000" before "9999999"), the others after them.
inline constexpr const char* SelectInvoicesOfAccountInNumberOrder =
    "SELECT * FROM tbl_Invoices WHERE AccountNumber = ? "
    "ORDER BY InvoiceNumber = '' OR InvoiceNumber GLOB '*[^0-9]*', "
    "CAST(InvoiceNumber AS INTEGER), InvoiceNumber";

// The highest invoice number made of digits only, as a number; NULL when there is none.
inline constexpr const char* HighestNumericInvoice =
    "SELECT max(CAST(InvoiceNumber AS INTEGER)) FROM tbl_Invoices "
    "WHERE InvoiceNumber <> '' AND InvoiceNumber NOT GLOB '*[^0-9]*'";

// Checks of the book's soundness.
// The first problem a quick integrity check finds, or "ok".
inline constexpr const char* QuickCheck = "PRAGMA quick_check(1)";

// Customer statements.
// The balance rows of the accounts that owe something, in account number order.
inline constexpr const char* SelectBalancesOwing =
    "SELECT * FROM tbl_Logs WHERE Balance > 0 ORDER BY AccountNumber";

// The export for the accountant.
inline constexpr const char* SelectProfilesInAccountOrder =
    "SELECT * FROM tbl_CustomerProfile ORDER BY AccountNumber";
inline constexpr const char* SelectBalancesInAccountOrder =
    "SELECT * FROM tbl_Logs ORDER BY AccountNumber";
// Values: the first day twice and the last day twice, as ISO dates, each empty for no bound;
// both days belong to the period. An invoice without a billing date is in no bounded period.
inline constexpr const char* SelectInvoicesBilledWithin =
    "SELECT * FROM tbl_Invoices WHERE (? = '' OR DateBilled >= ?) AND (? = '' OR DateBilled <= ?) "
    "ORDER BY InvoiceNumber = '' OR InvoiceNumber GLOB '*[^0-9]*', "
    "CAST(InvoiceNumber AS INTEGER), InvoiceNumber";
// A read of several statements that sees one state of the book.
inline constexpr const char* BeginRead = "BEGIN DEFERRED";
inline constexpr const char* EndRead = "COMMIT";

} // namespace sql
