#pragma once

#include "dialect.h"

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
// Only what an invoice's node in the tree shows, for a folder of tens of thousands of them.
inline constexpr const char* SelectTreeInvoices =
    "SELECT InvoiceNumber, AccountNumber, DateRecieved FROM tbl_Invoices";
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
// Server books only: the balance row of the account a save is about to change, held against
// other desks until the save ends, so two desks saving to one account take turns instead of
// overwriting each other. A file book's transaction holds the whole file already.
inline constexpr const char* HoldAccount =
    "SELECT AccountNumber FROM tbl_Logs WHERE AccountNumber = ? FOR UPDATE";
// Values: new balance, unit description, today's date, account number.
inline constexpr const char* UpdateBalanceAndDescription =
    "UPDATE tbl_Logs SET Balance = ?,LastUnitDescription = ?,DateLastUpdated = ? "
    "WHERE AccountNumber = ?";
// Values: new balance, today's date, account number.
inline constexpr const char* UpdateBalance =
    "UPDATE tbl_Logs SET Balance = ?,DateLastUpdated = ? WHERE AccountNumber = ?";

// The data layer's own statements.
// %1 stands for a table name the layer has checked against the file's own catalogue.
// The catalogue's own spelling of a table name; a server keeps unquoted names in lower case.
inline constexpr Dialectal TableExists{
    "SELECT name FROM sqlite_master WHERE type = 'table' AND name = ?",
    "SELECT table_name FROM information_schema.tables "
    "WHERE table_schema = current_schema() AND table_name = lower(?)"};
// Names and kinds of a table's columns in their order; the value is the catalogue's table name.
inline constexpr Dialectal TableColumns{
    "SELECT name, type FROM pragma_table_info(?) ORDER BY cid",
    "SELECT column_name, data_type FROM information_schema.columns "
    "WHERE table_schema = current_schema() AND table_name = ? ORDER BY ordinal_position"};
inline constexpr Dialectal ProveDatabase{"SELECT count(*) FROM sqlite_master", "SELECT 1"};
// The version of the book's tables; a book made before versions were kept says 0.
inline constexpr Dialectal SchemaVersion{"PRAGMA user_version",
                                         "SELECT max(Version) FROM tbl_Schema"};
// %1 and %2 are names quoted by the data layer; %3 the value marks.
inline constexpr const char* AppendRecord = "INSERT INTO %1 (%2) VALUES (%3)";
inline constexpr const char* BuiltSelect = "SELECT %1.%2 FROM %1";
inline constexpr const char* BuiltKeyCondition = " WHERE (%1.%2=?)";
// A file takes its write lock at the start, waiting out the busy timeout; a server locks the rows
// each save touches, as it touches them.
inline constexpr Dialectal BeginTransaction{"BEGIN IMMEDIATE", "BEGIN"};
inline constexpr const char* CommitTransaction = "COMMIT";
inline constexpr const char* RollbackTransaction = "ROLLBACK";
inline constexpr const char* CompactInto = "VACUUM INTO ?";
// The engine's own version, for the About window.
inline constexpr Dialectal EngineVersion{
    "SELECT sqlite_version()", "SELECT 'PostgreSQL ' || current_setting('server_version')"};

// A server connection's settings for the work of one desk: how long a save waits for a row
// another desk holds, and whether the session may write. Values: milliseconds, "on" or "off".
inline constexpr const char* ServerSessionSettings =
    "SELECT set_config('lock_timeout', ?, false), "
    "set_config('default_transaction_read_only', ?, false)";
// A server tells every desk listening on the book that a save landed; the value says which
// desk, so that one does not refresh twice.
inline constexpr const char* AnnounceToDesks = "SELECT pg_notify('pellory_book', ?)";
// The channel those announcements travel on, which listening desks subscribe to.
inline constexpr const char* DeskChannel = "pellory_book";
// The server process of a connection that still listens on the channel; no row otherwise.
inline constexpr const char* ListeningOn = "SELECT pg_backend_pid() FROM pg_listening_channels() "
                                           "AS channel WHERE channel = ?";

// The settings window's upkeep of the book.
// Compacts the book in place; the engine applies it whole or not at all under its journal.
inline constexpr Dialectal CompactInPlace{"VACUUM", "VACUUM (ANALYZE)"};

// Moving a book between a file and a server.
// The tables a server database already holds; a book moves only into one that holds none.
inline constexpr const char* ServerTables =
    "SELECT table_name FROM information_schema.tables WHERE table_schema = current_schema() "
    "ORDER BY table_name";
// %1 is one of the book's table names, %2 a value mark for each of its columns, in order.
inline constexpr const char* AppendRow = "INSERT INTO %1 VALUES (%2)";
// What must agree between a book and its moved copy: the rows of each table and, in whole
// cents, the balances and the amounts billed and received. Both kinds of book read it alike.
inline constexpr const char* MoveFigures =
    "SELECT (SELECT count(*) FROM tbl_CustomerProfile), (SELECT count(*) FROM tbl_Invoices), "
    "(SELECT count(*) FROM tbl_Logs), "
    "(SELECT coalesce(sum(round(Balance * 100)), 0) FROM tbl_Logs), "
    "(SELECT coalesce(sum(round(AmountBilled * 100)), 0) FROM tbl_Invoices), "
    "(SELECT coalesce(sum(round(AmountRecieved * 100)), 0) FROM tbl_Invoices)";

// The summary report's invoices: number order, numerically where the numbers are numbers
// (text order would put "10000000" before "9999999"), the others after them.
inline constexpr Dialectal SelectInvoicesOfAccountInNumberOrder{
    "SELECT * FROM tbl_Invoices WHERE AccountNumber = ? "
    "ORDER BY InvoiceNumber = '' OR InvoiceNumber GLOB '*[^0-9]*', "
    "CAST(InvoiceNumber AS INTEGER), InvoiceNumber",
    "SELECT * FROM tbl_Invoices WHERE AccountNumber = ? "
    "ORDER BY InvoiceNumber !~ '^[0-9]+$', "
    "CASE WHEN InvoiceNumber ~ '^[0-9]+$' THEN CAST(InvoiceNumber AS NUMERIC) END, InvoiceNumber"};

// The highest invoice number made of digits only, as a number; NULL when there is none.
inline constexpr Dialectal HighestNumericInvoice{
    "SELECT max(CAST(InvoiceNumber AS INTEGER)) FROM tbl_Invoices "
    "WHERE InvoiceNumber <> '' AND InvoiceNumber NOT GLOB '*[^0-9]*'",
    "SELECT CAST(max(CAST(InvoiceNumber AS NUMERIC)) AS BIGINT) FROM tbl_Invoices "
    "WHERE InvoiceNumber ~ '^[0-9]{1,18}$'"};

// Checks of the book's soundness.
// The first problem a quick integrity check finds, or "ok".
inline constexpr const char* QuickCheck = "PRAGMA quick_check(1)";

// Reports of tax, from the invoices' stored lines (a book made before the lines has none).
// The summary report's tax of each invoice of an account and of the accounts linked to it.
// Values: the account twice.
inline constexpr const char* SelectTaxOfInvoicesOfMaster =
    "SELECT l.InvoiceNumber, sum(l.Tax) FROM tbl_InvoiceLines l "
    "JOIN tbl_Invoices i ON i.InvoiceNumber = l.InvoiceNumber "
    "WHERE i.AccountNumber = ? OR i.AccountNumber IN "
    "(SELECT AccountNumber FROM tbl_CustomerProfile WHERE MasterAccount = ?) "
    "GROUP BY l.InvoiceNumber";
// The tax collected in a period: name, percent, net billed and tax of each rate of the lines of
// the invoices billed in it, an empty name for untaxed lines. An invoice stored as its row alone
// is untaxed, at its amount billed. Values: the first and last day, twice, as ISO dates.
inline constexpr const char* SelectTaxByRateBilledWithin =
    "SELECT TaxName, TaxPercent, sum(Net), sum(Tax) FROM ("
    "SELECT coalesce(l.TaxName, '') AS TaxName, coalesce(l.TaxPercent, 0) AS TaxPercent, "
    "l.Amount AS Net, l.Tax AS Tax FROM tbl_InvoiceLines l "
    "JOIN tbl_Invoices i ON i.InvoiceNumber = l.InvoiceNumber "
    "WHERE i.DateBilled >= ? AND i.DateBilled <= ? "
    "UNION ALL SELECT '', 0, i.AmountBilled, 0 FROM tbl_Invoices i "
    "WHERE i.DateBilled >= ? AND i.DateBilled <= ? AND NOT EXISTS "
    "(SELECT 1 FROM tbl_InvoiceLines l WHERE l.InvoiceNumber = i.InvoiceNumber)"
    ") AS billed GROUP BY TaxName, TaxPercent";
// The same period of a book without lines: every invoice untaxed, at its amount billed.
inline constexpr const char* SelectBilledWithin =
    "SELECT sum(AmountBilled) FROM tbl_Invoices WHERE DateBilled >= ? AND DateBilled <= ?";

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
inline constexpr Dialectal SelectInvoicesBilledWithin{
    "SELECT * FROM tbl_Invoices WHERE (? = '' OR DateBilled >= ?) AND (? = '' OR DateBilled <= ?) "
    "ORDER BY InvoiceNumber = '' OR InvoiceNumber GLOB '*[^0-9]*', "
    "CAST(InvoiceNumber AS INTEGER), InvoiceNumber",
    "SELECT * FROM tbl_Invoices WHERE (? = '' OR DateBilled >= ?) AND (? = '' OR DateBilled <= ?) "
    "ORDER BY InvoiceNumber !~ '^[0-9]+$', "
    "CASE WHEN InvoiceNumber ~ '^[0-9]+$' THEN CAST(InvoiceNumber AS NUMERIC) END, InvoiceNumber"};
// A read of several statements that sees one state of the book.
inline constexpr Dialectal BeginRead{"BEGIN DEFERRED",
                                     "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"};
inline constexpr const char* EndRead = "COMMIT";

// Restoring a backup copy into the book file in use. The copy is attached beside the book and
// its rows replace the book's in one transaction, so the file stays the one every program has
// open and a program writing to it meanwhile makes the restore wait or give way.
inline constexpr const char* AttachCopy = "ATTACH DATABASE ? AS copy";
inline constexpr const char* DetachCopy = "DETACH DATABASE copy";
inline constexpr const char* EmptyProfiles = "DELETE FROM main.tbl_CustomerProfile";
inline constexpr const char* EmptyInvoices = "DELETE FROM main.tbl_Invoices";
inline constexpr const char* EmptyBalances = "DELETE FROM main.tbl_Logs";
inline constexpr const char* CopyProfiles =
    "INSERT INTO main.tbl_CustomerProfile SELECT * FROM copy.tbl_CustomerProfile";
inline constexpr const char* CopyInvoices =
    "INSERT INTO main.tbl_Invoices SELECT * FROM copy.tbl_Invoices";
inline constexpr const char* CopyBalances = "INSERT INTO main.tbl_Logs SELECT * FROM copy.tbl_Logs";
// A copy made before the tables of lines and rates has none of them.
inline constexpr const char* CopyHoldsLineTables =
    "SELECT count(*) FROM copy.sqlite_master WHERE type = 'table' AND name = 'tbl_AccountTax'";
inline constexpr const char* EmptyLineTables[] = {"DELETE FROM main.tbl_InvoiceLines",
                                                  "DELETE FROM main.tbl_TaxRates",
                                                  "DELETE FROM main.tbl_AccountTax"};
inline constexpr const char* CopyLineTables[] = {
    "INSERT INTO main.tbl_InvoiceLines SELECT * FROM copy.tbl_InvoiceLines",
    "INSERT INTO main.tbl_TaxRates SELECT * FROM copy.tbl_TaxRates",
    "INSERT INTO main.tbl_AccountTax SELECT * FROM copy.tbl_AccountTax"};
inline constexpr const char* CountProfiles = "SELECT count(*) FROM tbl_CustomerProfile";
inline constexpr const char* CountInvoices = "SELECT count(*) FROM tbl_Invoices";

// Invoices of several lines and tax. A book made before these tables gains them at the first
// write that needs them, inside that write's transaction; older programs read on without them.
// Before adding them a server desk takes a lock all desks share, so two desks adding them at
// once take turns; a file's write transaction holds the whole book already.
inline constexpr Dialectal LockForNewTables{"SELECT 1", "SELECT pg_advisory_xact_lock(7210531)"};
inline constexpr Dialectal CreateInvoiceLines{
    "CREATE TABLE IF NOT EXISTS tbl_InvoiceLines (InvoiceNumber TEXT NOT NULL, "
    "LineNumber INTEGER NOT NULL, Description TEXT, Units REAL, Rate REAL, Amount REAL, "
    "TaxName TEXT, TaxPercent REAL, Tax REAL) STRICT",
    "CREATE TABLE IF NOT EXISTS tbl_InvoiceLines (InvoiceNumber TEXT COLLATE \"C\" NOT NULL, "
    "LineNumber INTEGER NOT NULL, Description TEXT, Units DOUBLE PRECISION, Rate NUMERIC(15, 2), "
    "Amount NUMERIC(15, 2), TaxName TEXT, TaxPercent DOUBLE PRECISION, Tax NUMERIC(15, 2))"};
inline constexpr const char* CreateInvoiceLinesKeyText =
    "CREATE UNIQUE INDEX IF NOT EXISTS idx_InvoiceLines_Number "
    "ON tbl_InvoiceLines (InvoiceNumber, LineNumber)";
inline constexpr Dialectal CreateInvoiceLinesKey{CreateInvoiceLinesKeyText,
                                                 CreateInvoiceLinesKeyText};
inline constexpr Dialectal CreateTaxRates{
    "CREATE TABLE IF NOT EXISTS tbl_TaxRates (TaxName TEXT NOT NULL PRIMARY KEY, "
    "TaxPercent REAL NOT NULL) STRICT",
    "CREATE TABLE IF NOT EXISTS tbl_TaxRates (TaxName TEXT COLLATE \"C\" NOT NULL PRIMARY KEY, "
    "TaxPercent DOUBLE PRECISION NOT NULL)"};
inline constexpr Dialectal CreateAccountTax{
    "CREATE TABLE IF NOT EXISTS tbl_AccountTax (AccountNumber TEXT NOT NULL PRIMARY KEY, "
    "TaxName TEXT NOT NULL) STRICT",
    "CREATE TABLE IF NOT EXISTS tbl_AccountTax (AccountNumber TEXT COLLATE \"C\" NOT NULL "
    "PRIMARY KEY, TaxName TEXT NOT NULL)"};
// The steps that add the tables, in order; tbl_AccountTax is made last, so a book that holds it
// holds them all.
inline constexpr Dialectal AddLineTables[] = {
    LockForNewTables, CreateInvoiceLines, CreateInvoiceLinesKey, CreateTaxRates, CreateAccountTax};
inline constexpr const char* SelectAllInvoiceLines = "SELECT * FROM tbl_InvoiceLines";
// The export for the accountant: every line, in invoice and line order.
inline constexpr const char* SelectInvoiceLinesInOrder =
    "SELECT InvoiceNumber, LineNumber, Description, Units, Rate, Amount, TaxName, TaxPercent, Tax "
    "FROM tbl_InvoiceLines ORDER BY InvoiceNumber, LineNumber";
inline constexpr const char* SelectAllTaxRates = "SELECT * FROM tbl_TaxRates";
inline constexpr const char* SelectAllAccountTax = "SELECT * FROM tbl_AccountTax";
// Values: invoice number, line number, description, units, rate, amount, tax name, percent, tax.
inline constexpr const char* InsertInvoiceLine =
    "INSERT INTO tbl_InvoiceLines (InvoiceNumber, LineNumber, Description, Units, Rate, Amount, "
    "TaxName, TaxPercent, Tax) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)";
inline constexpr const char* SelectInvoiceLines =
    "SELECT Description, Units, Rate, Amount, TaxName, TaxPercent, Tax FROM tbl_InvoiceLines "
    "WHERE InvoiceNumber = ? ORDER BY LineNumber";
inline constexpr const char* DeleteInvoiceLines =
    "DELETE FROM tbl_InvoiceLines WHERE InvoiceNumber = ?";
inline constexpr const char* DeleteLinesOfAccount =
    "DELETE FROM tbl_InvoiceLines WHERE InvoiceNumber IN "
    "(SELECT InvoiceNumber FROM tbl_Invoices WHERE AccountNumber = ?)";
inline constexpr const char* SelectTaxRates =
    "SELECT TaxName, TaxPercent FROM tbl_TaxRates ORDER BY TaxName";
inline constexpr const char* DeleteTaxRates = "DELETE FROM tbl_TaxRates";
inline constexpr const char* InsertTaxRate =
    "INSERT INTO tbl_TaxRates (TaxName, TaxPercent) VALUES (?, ?)";
inline constexpr const char* SelectAccountTax =
    "SELECT TaxName FROM tbl_AccountTax WHERE AccountNumber = ?";
inline constexpr const char* DeleteAccountTax =
    "DELETE FROM tbl_AccountTax WHERE AccountNumber = ?";
inline constexpr const char* InsertAccountTax =
    "INSERT INTO tbl_AccountTax (AccountNumber, TaxName) VALUES (?, ?)";

} // namespace sql
