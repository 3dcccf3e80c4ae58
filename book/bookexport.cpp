#include "bookexport.h"

#include "bookwork.h"
#include "filewrites.h"
#include "formats.h"
#include "invoicelines.h"
#include "statements.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QLocale>
#include <QSet>
#include <algorithm>
#include <functional>

using namespace bookwork;

Outcome CheckPeriod(const ExportPeriod& period) {
    if (period.from && !period.from->isValid())
        return Refusal(QStringLiteral("The first day of the period is not a valid date."));
    if (period.to && !period.to->isValid())
        return Refusal(QStringLiteral("The last day of the period is not a valid date."));
    if (period.from && period.to && *period.to < *period.from)
        return Refusal(QStringLiteral("The period ends (%1) before it begins (%2).")
                           .arg(DateToStored(*period.to), DateToStored(*period.from)));
    return Done{};
}

Result<std::vector<InvoiceRecord>> InvoicesBilledWithin(const ExportPeriod& period) {
    if (Outcome checked = CheckPeriod(period); !checked)
        return checked.failure();
    // An open end is empty text, never null: the engine would take a null for an unknown bound.
    const QString from = period.from ? DateToStored(*period.from) : QStringLiteral("");
    const QString to = period.to ? DateToStored(*period.to) : QStringLiteral("");
    return ReadAll<InvoiceRecord>(sql::SelectInvoicesBilledWithin, {from, from, to, to});
}

namespace {

// The three reads see one state of the book: another program's payment stored between them
// would otherwise show in the balances but not in the invoices.
class OneRead {
  public:
    OneRead() : begun_(Execute(sql::BeginRead, {})) {}
    ~OneRead() {
        if (begun_ && !ended_)
            daoRollback_Transaction();
    }
    const Outcome& begun() const { return begun_; }
    Outcome end() {
        ended_ = true;
        return Execute(sql::EndRead, {});
    }

  private:
    Outcome begun_;
    bool ended_ = false;
};

} // namespace

namespace {
// One read of every line, kept for the invoices exported: one query however many invoices.
Result<std::vector<ExportedLine>> linesOf(const std::vector<InvoiceRecord>& invoices) {
    std::vector<ExportedLine> lines;
    const auto holds = BookHoldsLines();
    if (!holds)
        return holds.failure();
    if (!*holds)
        return lines;
    QSet<QString> exported;
    for (const InvoiceRecord& invoice : invoices)
        exported.insert(invoice.InvoiceNumber);
    if (Outcome queried = Query(sql::SelectInvoiceLinesInOrder, {}); !queried)
        return queried.failure();
    Recordset& rows = SharedRecordset();
    for (rows.MoveFirst(); !rows.EndOfFile(); rows.MoveNext()) {
        const QString number = rows.Fields(0).toString();
        if (!exported.contains(number))
            continue;
        lines.push_back({number, rows.Fields(1).toInt(), LineFromRow(rows, 2)});
    }
    // The lines come in the book's text order of numbers; the invoices' own order is kept.
    QHash<QString, int> order;
    for (int i = 0; i < int(invoices.size()); ++i)
        order.insert(invoices[std::size_t(i)].InvoiceNumber, i);
    std::stable_sort(lines.begin(), lines.end(), [&](const ExportedLine& a, const ExportedLine& b) {
        return order.value(a.invoiceNumber) < order.value(b.invoiceNumber);
    });
    return lines;
}
} // namespace

Result<BookExport> ReadBookExport(const ExportPeriod& period) {
    if (Outcome checked = CheckPeriod(period); !checked)
        return checked.failure();
    OneRead read;
    if (!read.begun())
        return read.begun().failure();
    BookExport book;
    auto accounts = ReadAll<ProfileRecord>(sql::SelectProfilesInAccountOrder);
    if (!accounts)
        return accounts.failure();
    auto invoices = InvoicesBilledWithin(period);
    if (!invoices)
        return invoices.failure();
    auto balances = ReadAll<BalanceRecord>(sql::SelectBalancesInAccountOrder);
    if (!balances)
        return balances.failure();
    auto lines = linesOf(*invoices);
    if (!lines)
        return lines.failure();
    if (Outcome ended = read.end(); !ended)
        return ended.failure();
    book.accounts = std::move(accounts).value();
    book.invoices = std::move(invoices).value();
    book.balances = std::move(balances).value();
    book.lines = std::move(lines).value();
    return book;
}

namespace {

bool couldStartFormula(const QString& value) {
    if (value.isEmpty())
        return false;
    switch (value.front().unicode()) {
    case '=':
    case '+':
    case '-':
    case '@':
    case '\t':
    case '\r':
        return true;
    default:
        return false;
    }
}

QString quotedIfNeeded(const QString& value) {
    static const QString special = QStringLiteral(",\"\r\n");
    const bool needsQuotes =
        std::any_of(value.begin(), value.end(), [](QChar c) { return special.contains(c); });
    if (!needsQuotes)
        return value;
    QString doubled = value;
    doubled.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + doubled + QLatin1Char('"');
}

QVariant cash(const std::optional<double>& amount) {
    return amount ? QVariant(*amount) : QVariant();
}

// Profile amounts are stored as a number or nothing.
QVariant cash(const QVariant& stored) {
    return stored.isNull() ? QVariant() : cash(ParseMoney(stored));
}

ExportTable tableOf(const char* name, std::initializer_list<ExportColumn> columns) {
    return {QLatin1String(name), columns, {}};
}

ExportColumn text(const char* name) {
    return {QLatin1String(name), ExportKind::Text};
}
ExportColumn whole(const char* name) {
    return {QLatin1String(name), ExportKind::Whole};
}
ExportColumn count(const char* name) {
    return {QLatin1String(name), ExportKind::Count};
}
ExportColumn money(const char* name) {
    return {QLatin1String(name), ExportKind::Money};
}
ExportColumn day(const char* name) {
    return {QLatin1String(name), ExportKind::Day};
}

} // namespace

QString CsvText(const QString& value) {
    return quotedIfNeeded(couldStartFormula(value) ? QLatin1Char('\'') + value : value);
}

QString CsvRecord(const QStringList& fields) {
    return fields.join(QLatin1Char(',')) + QStringLiteral("\r\n");
}

ExportTable AccountsTable(const std::vector<ProfileRecord>& accounts) {
    ExportTable table = tableOf("accounts", {text("AccountNumber"),
                                             text("MasterAccount"),
                                             text("CustomerName"),
                                             text("Email"),
                                             text("Phone"),
                                             text("Address1"),
                                             text("Address2"),
                                             text("Address3"),
                                             text("Address4"),
                                             text("BusinessClass"),
                                             text("Comments"),
                                             whole("InvoiceType"),
                                             money("PaymentAmount"),
                                             money("UnitPrice"),
                                             text("PayableTo"),
                                             text("BillAddress1"),
                                             text("BillAddress2"),
                                             text("BillAddress3"),
                                             text("BillAddress4"),
                                             whole("BillCycle"),
                                             text("MonthDay"),
                                             whole("GraceDays"),
                                             text("RecievingAddress1"),
                                             text("RecievingAddress2"),
                                             text("RecievingAddress3"),
                                             text("RecievingAddress4")});
    for (const ProfileRecord& account : accounts) {
        // A master account carries a marker, not a number, where a linked one names its master.
        QVariantList row{account.AccountNumber,
                         account.IsMaster() ? QString() : account.MasterAccount,
                         account.CustomerName, account.Email, account.Phone};
        for (const QString& line : account.Address)
            row << line;
        row << account.BusinessClass << account.Comments << account.InvoiceType
            << cash(account.PaymentAmount) << cash(account.UnitPrice) << account.PayableTo;
        for (const QString& line : account.BillAddress)
            row << line;
        row << account.BillCycle << account.MonthDay << account.GraceDays;
        for (const QString& line : account.RecievingAddress)
            row << line;
        table.rows.push_back(row);
    }
    return table;
}

ExportTable InvoicesTable(const std::vector<InvoiceRecord>& invoices) {
    ExportTable table =
        tableOf("invoices", {text("InvoiceNumber"), text("AccountNumber"), day("DateBilled"),
                             day("DateDue"), money("PastDue"), money("AmountBilled"),
                             day("DateRecieved"), text("CheckNumber"), money("AmountRecieved")});
    for (const InvoiceRecord& invoice : invoices)
        table.rows.push_back({invoice.InvoiceNumber, invoice.AccountNumber, invoice.DateBilled,
                              invoice.DateDue, cash(invoice.PastDue), cash(invoice.AmountBilled),
                              invoice.DateRecieved, invoice.CheckNumber,
                              cash(invoice.AmountRecieved)});
    return table;
}

ExportTable InvoiceLinesTable(const std::vector<ExportedLine>& lines) {
    ExportTable table =
        tableOf("invoice_lines", {text("InvoiceNumber"), whole("LineNumber"), text("Description"),
                                  count("Units"), money("Rate"), money("Amount"), text("TaxName"),
                                  count("TaxPercent"), money("Tax")});
    for (const ExportedLine& each : lines) {
        const InvoiceLine& l = each.line;
        table.rows.push_back({each.invoiceNumber, each.lineNumber, l.description, l.units, l.rate,
                              l.amount, l.taxName, l.taxPercent, l.tax});
    }
    return table;
}

ExportTable BalancesTable(const std::vector<BalanceRecord>& balances) {
    ExportTable table =
        tableOf("balances", {text("AccountNumber"), money("Balance"), text("LastUnitDescription"),
                             day("DateCreated"), day("DateLastUpdated")});
    for (const BalanceRecord& balance : balances)
        table.rows.push_back({balance.AccountNumber, cash(balance.Balance),
                              balance.LastUnitDescription, balance.DateCreated,
                              balance.DateLastUpdated});
    return table;
}

std::vector<ExportTable> ExportTables(const BookExport& book) {
    return {AccountsTable(book.accounts), InvoicesTable(book.invoices),
            InvoiceLinesTable(book.lines), BalancesTable(book.balances)};
}

QString CsvOf(const ExportTable& table, ExportNumbers numbers) {
    QLocale plain = QLocale::c();
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    const QLocale shown = numbers == ExportNumbers::Plain ? plain : QLocale::system();
    const auto field = [&](ExportKind kind, const QVariant& value) -> QString {
        if (value.isNull())
            return QString();
        switch (kind) {
        case ExportKind::Text:
            return CsvText(value.toString());
        case ExportKind::Whole:
            return QString::number(value.toInt());
        case ExportKind::Count:
            return CsvText(shown.toString(value.toDouble(), 'g', 12));
        case ExportKind::Money:
            return numbers == ExportNumbers::Plain
                       ? FormatMoney(value.toDouble())
                       : quotedIfNeeded(FormatMoneyForLocale(value.toDouble()));
        case ExportKind::Day:
            return DateToStored(value.toDate());
        }
        return QString();
    };
    QStringList names;
    for (const ExportColumn& column : table.columns)
        names << column.name;
    QString text = CsvRecord(names);
    for (const QVariantList& row : table.rows) {
        QStringList fields;
        for (std::size_t c = 0; c < table.columns.size(); ++c)
            fields << field(table.columns[c].kind, row.value(qsizetype(c)));
        text += CsvRecord(fields);
    }
    return text;
}

QString AccountsCsv(const std::vector<ProfileRecord>& accounts, ExportNumbers numbers) {
    return CsvOf(AccountsTable(accounts), numbers);
}

QString InvoicesCsv(const std::vector<InvoiceRecord>& invoices, ExportNumbers numbers) {
    return CsvOf(InvoicesTable(invoices), numbers);
}

QString InvoiceLinesCsv(const std::vector<ExportedLine>& lines, ExportNumbers numbers) {
    return CsvOf(InvoiceLinesTable(lines), numbers);
}

QString BalancesCsv(const std::vector<BalanceRecord>& balances, ExportNumbers numbers) {
    return CsvOf(BalancesTable(balances), numbers);
}

namespace {

struct ExportFile {
    QString path;
    QByteArray content;
};

// False, with the reason, when the file could not be written in full.
bool writeFile(const QString& path, const QByteArray& content, QString& reason) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        reason = file.errorString();
        return false;
    }
    if (file.write(content) != content.size() || !file.flush()) {
        reason = file.errorString();
        file.close();
        return false;
    }
    file.close();
    if (file.error() != QFileDevice::NoError) {
        reason = file.errorString();
        return false;
    }
    return true;
}

// Each file's scratch copy is written inside the writing of the one before it, so the renames
// come last, one after another, once every scratch copy is complete; a failed write leaves every
// target as it was and every scratch copy removed.
// When a rename fails, the files after it in the list are already in place: replaced names them.
bool writeAll(const std::vector<ExportFile>& files, std::size_t next, QString& failedFile,
              QString& reason, QStringList& replaced) {
    if (next == files.size())
        return true;
    const ExportFile& file = files[next];
    const bool written = WriteBeside(file.path, [&](const QString& scratch) {
        if (!writeFile(scratch, file.content, reason)) {
            failedFile = file.path;
            return false;
        }
        return writeAll(files, next + 1, failedFile, reason, replaced);
    });
    if (!written && failedFile.isEmpty()) {
        failedFile = file.path;
        reason = QStringLiteral("it could not replace the previous file");
        for (std::size_t after = next + 1; after < files.size(); ++after)
            replaced << QDir::toNativeSeparators(files[after].path);
    }
    return written;
}

} // namespace

Outcome WriteBookExport(const BookExport& book, const QString& folder) {
    const QDir dir(folder);
    if (!dir.exists())
        return Refusal(QStringLiteral("The folder %1 does not exist.").arg(folder));
    std::vector<ExportFile> files;
    for (const ExportTable& table : ExportTables(book))
        files.push_back({dir.filePath(table.name + QStringLiteral(".csv")),
                         CsvOf(table, book.numbers).toUtf8()});
    QString failedFile;
    QString reason;
    QStringList replaced;
    if (writeAll(files, 0, failedFile, reason, replaced))
        return Done{};
    const QString failure =
        QStringLiteral("Could not write %1: %2.").arg(QDir::toNativeSeparators(failedFile), reason);
    if (replaced.isEmpty())
        return Refusal(failure + QStringLiteral(" No file of the export was changed."));
    return Refusal(failure + QStringLiteral(" Already replaced by this export: %1.")
                                 .arg(replaced.join(QStringLiteral(", "))));
}
