#pragma once

#include "exporttable.h"
#include "invoicelines.h"
#include "records.h"
#include "result.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// The books as four CSV files for the accountant's scripts: the accounts, the invoices of a
// period with their payments, the lines and tax of those invoices, and the balances. The text is
// what a script can rely on: RFC 4180 (CRLF line ends, a field quoted when it holds a comma, quote,
// CR or LF, its quotes doubled), UTF-8 without a byte-order mark, ISO dates, money with a '.' and
// two decimals. Text a spreadsheet would take for a formula gets a leading apostrophe, as in the
// program's workbooks. The office side writes the same tables as one workbook.

// The days whose invoices are exported, both included; a missing end leaves that side open.
struct ExportPeriod {
    std::optional<QDate> from;
    std::optional<QDate> to;
};

// Refused when an end is not a valid day or the period ends before it begins.
Outcome CheckPeriod(const ExportPeriod& period);

// How amounts are written: with a '.' for scripts, or with the locale's decimal point for a
// spreadsheet in this locale (quoted when that point is a comma).
enum class ExportNumbers { Plain, ForLocale };

struct ExportedLine {
    QString invoiceNumber;
    int lineNumber = 0;
    InvoiceLine line;
};

struct BookExport {
    std::vector<ProfileRecord> accounts; // every account, by number
    std::vector<InvoiceRecord> invoices; // those billed in the period, by invoice number
    std::vector<BalanceRecord> balances; // every balance row, by account number
    // The lines of the invoices exported that are stored with lines, by invoice and line.
    std::vector<ExportedLine> lines;
    ExportNumbers numbers = ExportNumbers::Plain;
};

// The invoices billed in the period, on the book the caller has open. An invoice without a
// billing date is in no period with an end.
Result<std::vector<InvoiceRecord>> InvoicesBilledWithin(const ExportPeriod& period);

// The tables as they stand at one moment, on the book the caller has open (read-only is
// enough). A bad period is refused before anything is read.
Result<BookExport> ReadBookExport(const ExportPeriod& period);

// One field as written: neutralised when it is text that could start a formula, then quoted
// when it needs to be. Numbers the program formats itself (money, counts) are never neutralised.
QString CsvText(const QString& value);
// One record: the fields joined by commas, ended by CRLF. Fields are taken as written.
QString CsvRecord(const QStringList& fields);

// The tables as the export writes them, each named after its file: the CSV files and the
// workbook's sheets are made from the same rows.
ExportTable AccountsTable(const std::vector<ProfileRecord>& accounts);
ExportTable InvoicesTable(const std::vector<InvoiceRecord>& invoices);
ExportTable InvoiceLinesTable(const std::vector<ExportedLine>& lines);
ExportTable BalancesTable(const std::vector<BalanceRecord>& balances);
// The four tables in the order of the files: accounts, invoices, invoice lines, balances.
std::vector<ExportTable> ExportTables(const BookExport& book);

// A table's whole CSV text, heading line first.
QString CsvOf(const ExportTable& table, ExportNumbers numbers = ExportNumbers::Plain);
QString AccountsCsv(const std::vector<ProfileRecord>& accounts,
                    ExportNumbers numbers = ExportNumbers::Plain);
QString InvoicesCsv(const std::vector<InvoiceRecord>& invoices,
                    ExportNumbers numbers = ExportNumbers::Plain);
QString BalancesCsv(const std::vector<BalanceRecord>& balances,
                    ExportNumbers numbers = ExportNumbers::Plain);
QString InvoiceLinesCsv(const std::vector<ExportedLine>& lines,
                        ExportNumbers numbers = ExportNumbers::Plain);

// The files' names in the folder.
inline constexpr const char* AccountsFileName = "accounts.csv";
inline constexpr const char* InvoicesFileName = "invoices.csv";
inline constexpr const char* BalancesFileName = "balances.csv";
inline constexpr const char* InvoiceLinesFileName = "invoice_lines.csv";
// The same tables as one workbook, a sheet each, when the office is there.
inline constexpr const char* WorkbookFileName = "books.ods";

// Writes the four files into folder (which must exist), replacing earlier ones. Every file is
// written in full under a scratch name before any of them replaces its target, so a failed write
// leaves the folder as it was. The message names the file that failed and, should a rename fail
// after others landed, the files already replaced.
Outcome WriteBookExport(const BookExport& book, const QString& folder);
