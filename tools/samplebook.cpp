#include "samplebook.h"

#include "blankbook.h"
#include "columns.h"
#include "formats.h"
#include "modDAO.h"

#include <QDate>
#include <QFile>
#include <QRandomGenerator>
#include <QStringList>
#include <algorithm>
#include <vector>

namespace {
const QStringList Surnames = {"Abbott",  "Barnes",  "Carver", "Dalton",   "Ellison",  "Fairley",
                              "Garrett", "Hollis",  "Ingram", "Jarvis",   "Keller",   "Lawson",
                              "Marsh",   "Norwood", "Oakley", "Prescott", "Quinlan",  "Radford",
                              "Sutton",  "Thorne",  "Upton",  "Vaughn",   "Whitlock", "Yardley"};
const QStringList Trades = {"Plumbing",   "Bakery",      "Dental Care", "Law Office",
                            "Print Shop", "Garden Care", "Bookkeeping", "Joinery",
                            "Tailoring",  "Auto Repair"};
const QStringList Streets = {"Elm Street",  "Harbour Road", "Mill Lane",     "Station Avenue",
                             "Church Walk", "Kings Way",    "Orchard Close", "Bridge Street"};
const QString Payee = QStringLiteral("Varnaby Services");

struct Account {
    QString number;
    QString master;
    QString name;
    int invoiceType = 0;
    double fixedAmount = 0;
    double unitPrice = 0;
    int monthDay = 1;
    int graceDays = 0;
    double balance = 0;
    QDate created;
    QDate lastUpdated;
};

QString addressLine(QRandomGenerator& random) {
    return QString::number(random.bounded(1, 400)) + ' ' + Streets[random.bounded(Streets.size())];
}

Account makeAccount(int index, int masters, QRandomGenerator& random) {
    Account account;
    account.number = QString::number(1001 + index);
    account.master = index < masters ? QString::fromLatin1(MasterMarker)
                                     : QString::number(1001 + (index - masters) % masters);
    account.name = Surnames[index % Surnames.size()] + ' ' + Trades[(index / 3) % Trades.size()];
    account.invoiceType = index % 3;
    account.fixedAmount = RoundCents(random.bounded(50, 900) + random.bounded(100) / 100.0);
    account.unitPrice = RoundCents(random.bounded(20, 120) + random.bounded(4) * 0.25);
    account.monthDay = 1 + random.bounded(28);
    account.graceDays = random.bounded(0, 31);
    return account;
}

bool appendProfile(const Account& account, QRandomGenerator& random, QString& error) {
    QVariantList& row = RecordBuffer();
    row = QVariantList(col::ProfileColumnCount, QString());
    row[col::AccountNumber] = account.number;
    row[col::MasterAccount] = account.master;
    row[col::CustomerName] = account.name;
    row[col::Email] = "accounts@" + account.name.section(' ', 0, 0).toLower() + ".example";
    row[col::Phone] = QStringLiteral("555-%1").arg(random.bounded(1000, 9999));
    row[col::Address1] = account.name;
    row[col::Address2] = addressLine(random);
    row[col::Address3] = QStringLiteral("Springfield");
    row[col::InvoiceType] = account.invoiceType;
    row[col::PaymentAmount] = account.fixedAmount;
    row[col::UnitPrice] = account.unitPrice;
    row[col::PayableTo] = Payee;
    row[col::BillAddress1] = account.name;
    row[col::BillAddress2] = addressLine(random);
    row[col::BillAddress3] = QStringLiteral("Springfield");
    row[col::BillCycle] = 1;
    row[col::Reserved] = 0;
    row[col::MonthDay] = QString::number(account.monthDay);
    row[col::GraceDays] = account.graceDays;
    row[col::RecievingAddress1] = Payee;
    row[col::RecievingAddress2] = QStringLiteral("PO Box 17");
    row[col::RecievingAddress3] = QStringLiteral("Springfield");
    return daoWrite_DBTableRecord(QLatin1String(tables::CustomerProfile), error) == 0;
}

double newCharges(const Account& account, QRandomGenerator& random) {
    switch (account.invoiceType) {
    case 1:
        return account.fixedAmount;
    case 2:
        return RoundCents(account.unitPrice * random.bounded(1, 40));
    default:
        return RoundCents(random.bounded(40, 1500) + random.bounded(100) / 100.0);
    }
}

// One invoice: billed on the account's day of the given month; paid in full, or now and then
// in part, unless it falls in the unpaid months.
bool appendInvoice(int number, Account& account, const QDate& month, bool paid,
                   QRandomGenerator& random, QString& error) {
    const QDate billed =
        std::min(QDate(month.year(), month.month(), account.monthDay), QDate::currentDate());
    const double pastDue = account.balance;
    const double amountBilled = RoundCents(pastDue + newCharges(account, random));
    double received = 0;
    QVariant dateReceived;
    QVariant check;
    if (paid) {
        received = random.bounded(10) == 0 ? RoundCents(amountBilled / 2) : amountBilled;
        dateReceived = std::min(billed.addDays(random.bounded(3, 25)), QDate::currentDate());
        check = QString::number(random.bounded(100000, 999999));
    }
    account.balance = RoundCents(amountBilled - received);
    account.lastUpdated = billed;
    if (!account.created.isValid())
        account.created = billed;
    RecordBuffer() = {QStringLiteral("%1").arg(number, 7, 10, QLatin1Char('0')),
                      account.number,
                      billed,
                      check,
                      billed.addDays(account.graceDays),
                      dateReceived,
                      pastDue,
                      amountBilled,
                      received};
    return daoWrite_DBTableRecord(QLatin1String(tables::Invoices), error) == 0;
}

bool appendBalance(const Account& account, QString& error) {
    const QDate today = QDate::currentDate();
    RecordBuffer() = {account.number, account.balance,
                      account.invoiceType == 2 ? QStringLiteral("hours") : QString(),
                      account.created.isValid() ? account.created : today,
                      account.lastUpdated.isValid() ? account.lastUpdated : today};
    return daoWrite_DBTableRecord(QLatin1String(tables::Logs), error) == 0;
}

bool fillBook(const SampleBookSize& size, SampleBookResult& result) {
    QRandomGenerator random(size.seed);
    const int masters = std::max(1, size.accounts / 4);
    std::vector<Account> accounts;
    for (int i = 0; i < size.accounts; ++i) {
        accounts.push_back(makeAccount(i, masters, random));
        if (!appendProfile(accounts.back(), random, result.error))
            return false;
    }
    const int months = (size.invoices + size.accounts - 1) / size.accounts;
    const int unpaidMonths = std::max(1, (months * size.unpaidPercent + 50) / 100);
    const QDate thisMonth(QDate::currentDate().year(), QDate::currentDate().month(), 1);
    for (int i = 0; i < size.invoices; ++i) {
        const int month = i / size.accounts;
        const bool paid = month < months - unpaidMonths;
        if (!appendInvoice(i + 1, accounts[i % size.accounts],
                           thisMonth.addMonths(month - months + 1), paid, random, result.error))
            return false;
        result.unpaid += paid ? 0 : 1;
    }
    for (const Account& account : accounts)
        if (!appendBalance(account, result.error))
            return false;
    result.accounts = size.accounts;
    result.invoices = size.invoices;
    result.lastInvoice = QStringLiteral("%1").arg(size.invoices, 7, 10, QLatin1Char('0'));
    return true;
}
} // namespace

SampleBookResult WriteSampleBook(const QString& target, const SampleBookSize& size) {
    SampleBookResult result;
    if (size.accounts < 1 || size.invoices < 0) {
        result.error = QStringLiteral("a book needs at least one account");
        return result;
    }
    if (QFile::exists(target)) {
        result.error = target + QStringLiteral(" already exists; choose a new file");
        return result;
    }
    if (const QString error = WriteBlankBook(target); !error.isEmpty()) {
        result.error = QStringLiteral("cannot make a blank book at ") + target + ": " + error;
        return result;
    }
    QFile(target).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    if (daoOpen_DBConnection(target, result.error) != 0)
        return result;
    const bool filled = daoBegin_Transaction(result.error) == 0 && fillBook(size, result) &&
                        daoCommit_Transaction(result.error) == 0;
    if (!filled)
        daoRollback_Transaction();
    daoClose_DBConnection();
    if (!filled)
        QFile::remove(target);
    return result;
}
