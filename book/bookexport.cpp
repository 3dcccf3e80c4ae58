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

QString money(const std::optional<double>& amount, ExportNumbers numbers) {
    if (!amount)
        return QString();
    return numbers == ExportNumbers::Plain ? FormatMoney(*amount)
                                           : quotedIfNeeded(FormatMoneyForLocale(*amount));
}

// Profile amounts are stored as a number or nothing.
QString money(const QVariant& stored, ExportNumbers numbers) {
    return stored.isNull() ? QString() : money(ParseMoney(stored), numbers);
}

QString day(const QDate& date) {
    return DateToStored(date);
}

QString whole(int number) {
    return QString::number(number);
}

} // namespace

QString CsvText(const QString& value) {
    return quotedIfNeeded(couldStartFormula(value) ? QLatin1Char('\'') + value : value);
}

QString CsvRecord(const QStringList& fields) {
    return fields.join(QLatin1Char(',')) + QStringLiteral("\r\n");
}

namespace {

QString heading(std::initializer_list<const char*> names) {
    QStringList fields;
    for (const char* name : names)
        fields << QLatin1String(name);
    return CsvRecord(fields);
}

} // namespace

QString AccountsCsv(const std::vector<ProfileRecord>& accounts, ExportNumbers numbers) {
    QString text = heading({"AccountNumber",
                            "MasterAccount",
                            "CustomerName",
                            "Email",
                            "Phone",
                            "Address1",
                            "Address2",
                            "Address3",
                            "Address4",
                            "BusinessClass",
                            "Comments",
                            "InvoiceType",
                            "PaymentAmount",
                            "UnitPrice",
                            "PayableTo",
                            "BillAddress1",
                            "BillAddress2",
                            "BillAddress3",
                            "BillAddress4",
                            "BillCycle",
                            "MonthDay",
                            "GraceDays",
                            "RecievingAddress1",
                            "RecievingAddress2",
                            "RecievingAddress3",
                            "RecievingAddress4"});
    for (const ProfileRecord& account : accounts) {
        // A master account carries a marker, not a number, where a linked one names its master.
        QStringList fields{CsvText(account.AccountNumber),
                           CsvText(account.IsMaster() ? QString() : account.MasterAccount),
                           CsvText(account.CustomerName), CsvText(account.Email),
                           CsvText(account.Phone)};
        for (const QString& line : account.Address)
            fields << CsvText(line);
        fields << CsvText(account.BusinessClass) << CsvText(account.Comments)
               << whole(account.InvoiceType) << money(account.PaymentAmount, numbers)
               << money(account.UnitPrice, numbers) << CsvText(account.PayableTo);
        for (const QString& line : account.BillAddress)
            fields << CsvText(line);
        fields << whole(account.BillCycle) << CsvText(account.MonthDay) << whole(account.GraceDays);
        for (const QString& line : account.RecievingAddress)
            fields << CsvText(line);
        text += CsvRecord(fields);
    }
    return text;
}

QString InvoicesCsv(const std::vector<InvoiceRecord>& invoices, ExportNumbers numbers) {
    QString text = heading({"InvoiceNumber", "AccountNumber", "DateBilled", "DateDue", "PastDue",
                            "AmountBilled", "DateRecieved", "CheckNumber", "AmountRecieved"});
    for (const InvoiceRecord& invoice : invoices)
        text += CsvRecord({CsvText(invoice.InvoiceNumber), CsvText(invoice.AccountNumber),
                           day(invoice.DateBilled), day(invoice.DateDue),
                           money(invoice.PastDue, numbers), money(invoice.AmountBilled, numbers),
                           day(invoice.DateRecieved), CsvText(invoice.CheckNumber),
                           money(invoice.AmountRecieved, numbers)});
    return text;
}

QString InvoiceLinesCsv(const std::vector<ExportedLine>& lines, ExportNumbers numbers) {
    QString text = heading({"InvoiceNumber", "LineNumber", "Description", "Units", "Rate", "Amount",
                            "TaxName", "TaxPercent", "Tax"});
    QLocale plain = QLocale::c();
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    const QLocale shown = numbers == ExportNumbers::Plain ? plain : QLocale::system();
    const auto count = [&](double value) { return CsvText(shown.toString(value, 'g', 12)); };
    const auto cash = [&](double value) { return money(std::optional<double>(value), numbers); };
    for (const ExportedLine& each : lines) {
        const InvoiceLine& l = each.line;
        text += CsvRecord({CsvText(each.invoiceNumber), QString::number(each.lineNumber),
                           CsvText(l.description), count(l.units), cash(l.rate), cash(l.amount),
                           CsvText(l.taxName), count(l.taxPercent), cash(l.tax)});
    }
    return text;
}

QString BalancesCsv(const std::vector<BalanceRecord>& balances, ExportNumbers numbers) {
    QString text = heading(
        {"AccountNumber", "Balance", "LastUnitDescription", "DateCreated", "DateLastUpdated"});
    for (const BalanceRecord& balance : balances)
        text += CsvRecord({CsvText(balance.AccountNumber), money(balance.Balance, numbers),
                           CsvText(balance.LastUnitDescription), day(balance.DateCreated),
                           day(balance.DateLastUpdated)});
    return text;
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
    const std::vector<ExportFile> files{{dir.filePath(QLatin1String(AccountsFileName)),
                                         AccountsCsv(book.accounts, book.numbers).toUtf8()},
                                        {dir.filePath(QLatin1String(InvoicesFileName)),
                                         InvoicesCsv(book.invoices, book.numbers).toUtf8()},
                                        {dir.filePath(QLatin1String(InvoiceLinesFileName)),
                                         InvoiceLinesCsv(book.lines, book.numbers).toUtf8()},
                                        {dir.filePath(QLatin1String(BalancesFileName)),
                                         BalancesCsv(book.balances, book.numbers).toUtf8()}};
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
