#include "customerstatements.h"

#include "accounts.h"
#include "booksession.h"
#include "bookwork.h"
#include "formats.h"
#include "statements.h"

#include <algorithm>

namespace {
constexpr int FirstLineRow = StatementHeadingRow + 2; // after the opening balance
constexpr int ColumnCount = 7;                        // A to G
constexpr int BalanceColumn = 7;

// A charge still to be paid, for aging.
struct Charge {
    QDate due;
    double amount = 0.0;
};

QDate dueDateOf(const InvoiceRecord& invoice) {
    return invoice.DateDue.isValid() ? invoice.DateDue : invoice.DateBilled;
}

std::vector<InvoiceRecord> inDateOrder(std::vector<InvoiceRecord> invoices) {
    std::stable_sort(
        invoices.begin(), invoices.end(),
        [](const InvoiceRecord& a, const InvoiceRecord& b) { return a.DateBilled < b.DateBilled; });
    return invoices;
}

// Every invoice and every payment recorded on one, in date order; on one day an invoice comes
// before the payments, as a payment is usually made against it.
std::vector<StatementLine> historyOf(const std::vector<InvoiceRecord>& invoices) {
    std::vector<StatementLine> lines;
    for (const InvoiceRecord& invoice : invoices) {
        const double billed = invoice.AmountBilled.value_or(0.0);
        lines.push_back({StatementLineKind::Invoice, invoice.DateBilled, dueDateOf(invoice),
                         invoice.InvoiceNumber, QString(),
                         RoundCents(billed - invoice.PastDue.value_or(0.0)), 0.0});
        const double received = invoice.AmountRecieved.value_or(0.0);
        if (received != 0.0)
            lines.push_back(
                {StatementLineKind::Payment,
                 invoice.DateRecieved.isValid() ? invoice.DateRecieved : invoice.DateBilled,
                 QDate(), invoice.InvoiceNumber, invoice.CheckNumber, received, 0.0});
    }
    std::stable_sort(
        lines.begin(), lines.end(), [](const StatementLine& a, const StatementLine& b) {
            if (a.date != b.date)
                return a.date < b.date;
            return a.kind == StatementLineKind::Invoice && b.kind == StatementLineKind::Payment;
        });
    return lines;
}

AgingBucket bucketOf(qint64 daysPastDue) {
    if (daysPastDue <= 0)
        return NotYetDue;
    if (daysPastDue <= 30)
        return Days1To30;
    if (daysPastDue <= 60)
        return Days31To60;
    if (daysPastDue <= 90)
        return Days61To90;
    return Over90;
}

// Balance forward: every payment and credit goes to the oldest charges first; what remains of
// each charge is aged by its due date.
Aging ageCharges(std::vector<Charge> charges, double credits, const QDate& statementDate) {
    std::stable_sort(charges.begin(), charges.end(),
                     [](const Charge& a, const Charge& b) { return a.due < b.due; });
    Aging aging{};
    for (const Charge& charge : charges) {
        const double applied = std::min(credits, charge.amount);
        credits = RoundCents(credits - applied);
        const double remaining = RoundCents(charge.amount - applied);
        if (remaining <= 0.0)
            continue;
        const qint64 days = charge.due.isValid() ? charge.due.daysTo(statementDate) : 0;
        double& bucket = aging[bucketOf(days)];
        bucket = RoundCents(bucket + remaining);
    }
    return aging;
}

Aging agingOf(const std::vector<InvoiceRecord>& invoices, const std::vector<StatementLine>& lines,
              double carried, const QDate& statementDate) {
    std::vector<Charge> charges;
    double credits = 0.0;
    const auto add = [&](const QDate& due, double amount) {
        if (amount > 0.0)
            charges.push_back({due, amount});
        else
            credits = RoundCents(credits - amount);
    };
    // What the first invoice carried in from before the book fell due with that invoice.
    if (!invoices.empty())
        add(dueDateOf(invoices.front()), carried);
    for (const StatementLine& line : lines) {
        if (line.kind == StatementLineKind::Payment) {
            credits = RoundCents(credits + line.amount);
            continue;
        }
        add(line.due, line.amount);
    }
    return ageCharges(std::move(charges), credits, statementDate);
}

QString asText(const QString& value) {
    return QLatin1Char('\'') + value;
}

QString moneyText(double amount) {
    return asText(FormatMoney(amount));
}

QString dateText(const QDate& date) {
    return asText(FormatShortDate(date));
}

QStringList lineTexts(const StatementLine& line) {
    const bool invoice = line.kind == StatementLineKind::Invoice;
    return {dateText(line.date),
            asText(invoice ? QStringLiteral("Invoice") : QStringLiteral("Payment received")),
            asText(line.invoice),
            asText(line.reference),
            invoice ? moneyText(line.amount) : QString(),
            invoice ? QString() : moneyText(line.amount),
            moneyText(line.balance)};
}

QString periodText(const Statement& statement) {
    if (!statement.from.isValid())
        return asText(QStringLiteral("Through ") + FormatShortDate(statement.date));
    return asText(FormatShortDate(statement.from) + QStringLiteral(" to ") +
                  FormatShortDate(statement.date));
}

QStringList addressTexts(const QString& first, const std::array<QString, 4>& address) {
    QStringList texts{asText(first)};
    for (const QString& line : address)
        texts << asText(line);
    return texts;
}

QList<QStringList> column(const QStringList& texts) {
    QList<QStringList> rows;
    for (const QString& text : texts)
        rows.push_back({text});
    return rows;
}
} // namespace

std::optional<double> Statement::difference() const {
    if (!complete || !storedBalance)
        return std::nullopt;
    const double apart = RoundCents(*storedBalance - closing);
    return apart != 0.0 ? std::optional(apart) : std::nullopt;
}

Statement BuildStatement(const QString& account, const std::vector<InvoiceRecord>& unordered,
                         const StatementPeriod& period, const QDate& today) {
    Statement statement;
    statement.account = account;
    statement.date = period.to.isValid() ? period.to : today;
    statement.from = period.from;
    const std::vector<InvoiceRecord> invoices = inDateOrder(unordered);
    const double carried =
        invoices.empty() ? 0.0 : RoundCents(invoices.front().PastDue.value_or(0.0));

    double running = carried;
    statement.opening = carried;
    std::vector<StatementLine> dated; // every line up to the statement date, for aging
    for (StatementLine line : historyOf(invoices)) {
        if (period.to.isValid() && line.date > period.to) {
            statement.complete = false;
            continue;
        }
        const double change = line.kind == StatementLineKind::Invoice ? line.amount : -line.amount;
        running = RoundCents(running + change);
        line.balance = running;
        dated.push_back(line);
        if (period.from.isValid() && line.date < period.from)
            statement.opening = running;
        else
            statement.lines.push_back(line);
    }
    statement.closing = running;
    if (!statement.isCredit())
        statement.aging = agingOf(invoices, dated, carried, statement.date);
    return statement;
}

Result<Statement> ReadStatement(const QString& account, const StatementPeriod& period,
                                const QDate& today) {
    const auto invoices =
        bookwork::ReadAll<InvoiceRecord>(sql::SelectInvoicesOfAccountInNumberOrder, {account});
    if (!invoices)
        return invoices.failure();
    Statement statement = BuildStatement(account, *invoices, period, today);
    const auto profile = ReadProfile(account);
    if (!profile)
        return profile.failure();
    if (*profile) {
        statement.profile = **profile;
        statement.profileFound = true;
    }
    const auto balance = ReadBalance(account);
    if (!balance)
        return balance.failure();
    if (*balance)
        statement.storedBalance = (*balance)->Balance.value_or(0.0);
    return statement;
}

Result<QStringList> ReadAccountsOwing() {
    const auto owing = bookwork::ReadAll<BalanceRecord>(sql::SelectBalancesOwing);
    if (!owing)
        return owing.failure();
    QStringList accounts;
    for (const BalanceRecord& balance : *owing)
        accounts << balance.AccountNumber;
    return accounts;
}

StatementSheetPlan PlanStatementSheet(const Statement& s) {
    StatementSheetPlan plan;
    const ProfileRecord& profile = s.profile;
    plan.texts.push_back({2, 1, column(addressTexts(profile.PayableTo, profile.RecievingAddress))});
    plan.texts.push_back({2, 6, column({dateText(s.date), asText(s.account), periodText(s)})});
    plan.texts.push_back({9, 1, column(addressTexts(profile.CustomerName, profile.BillAddress))});

    const QDate openedOn = s.from.isValid()  ? s.from
                           : s.lines.empty() ? s.date
                                             : s.lines.front().date;
    QStringList opening(ColumnCount);
    opening[0] = dateText(openedOn);
    opening[1] = asText(QStringLiteral("Opening balance"));
    opening[BalanceColumn - 1] = moneyText(s.opening);
    plan.texts.push_back({StatementHeadingRow + 1, 1, {opening}});
    if (!s.lines.empty()) {
        SheetTexts lines{FirstLineRow, 1, {}};
        for (const StatementLine& line : s.lines)
            lines.texts.push_back(lineTexts(line));
        plan.texts.push_back(lines);
    }

    const int closingRow = FirstLineRow + static_cast<int>(s.lines.size());
    QStringList closing(ColumnCount);
    closing[0] = dateText(s.date);
    closing[1] = asText(QStringLiteral("Closing balance"));
    closing[BalanceColumn - 1] = moneyText(s.closing);
    plan.texts.push_back({closingRow, 1, {closing}});
    plan.bold.push_back({closingRow, BalanceColumn});

    // The aging row under the columns C to G, the amount due under the balance below it.
    const int agingRow = closingRow + 2;
    const int agingColumn = BalanceColumn - AgingBucketCount + 1;
    QStringList buckets(AgingBucketCount);
    for (int bucket = 0; bucket < AgingBucketCount && !s.isCredit(); ++bucket)
        buckets[bucket] = moneyText(s.aging[bucket]);
    plan.texts.push_back(
        {agingRow,
         agingColumn,
         {{"'Not yet due", "'1-30 days", "'31-60 days", "'61-90 days", "'Over 90 days"}, buckets}});
    const int dueRow = agingRow + 3;
    plan.texts.push_back(
        {dueRow,
         BalanceColumn - 1,
         {{asText(s.isCredit() ? "Credit Balance" : "Amount Due"),
           s.isCredit() ? asText(FormatMoney(-s.closing) + " CR") : moneyText(s.closing)}}});
    for (int c = agingColumn; c <= BalanceColumn; ++c) {
        plan.bold.push_back({agingRow, c});
        plan.bordered.push_back({agingRow + 1, c});
    }
    plan.bold.push_back({dueRow, BalanceColumn - 1});
    plan.bordered.push_back({dueRow, BalanceColumn});

    QStringList notes;
    if (const auto apart = s.difference())
        notes << "The balance on the account is " + FormatMoney(*s.storedBalance) +
                     "; the lines of this statement come to " + FormatMoney(s.closing) +
                     ", a difference of " + FormatMoney(*apart) + ".";
    if (!s.profileFound)
        notes << QStringLiteral("No customer profile was found for this account.");
    if (!notes.isEmpty()) {
        for (QString& note : notes)
            note = asText(note);
        plan.texts.push_back({dueRow + 2, 1, column(notes)});
    }
    return plan;
}
