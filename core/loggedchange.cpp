#include "loggedchange.h"

#include "accounts.h"
#include "balances.h"
#include "booksession.h"
#include "formats.h"
#include "invoices.h"
#include "modCommand.h"
#include "records.h"
#include "settings.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLockFile>
#include <QSaveFile>
#include <QSet>
#include <QUuid>
#include <algorithm>
#include <cmath>
#include <optional>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {
// The kinds of change, as the journal names them.
const QString InvoiceCreatedKind = QStringLiteral("invoice created");
const QString PaymentSavedKind = QStringLiteral("payment saved");
const QString InvoiceDeletedKind = QStringLiteral("invoice deleted");
const QString AccountAddedKind = QStringLiteral("account added");
const QString AccountEditedKind = QStringLiteral("account edited");
const QString AccountDeletedKind = QStringLiteral("account deleted");
const QString AccountsImportedKind = QStringLiteral("accounts imported");

QString journalPath() {
    return LogFilePath() + QStringLiteral(".pending");
}

// Two programs on one book share the journal; each rewrite of it is made under this lock. A
// lock that cannot be had in time is worked without: a late line is better than a hung window.
class JournalLock {
  public:
    explicit JournalLock(const QString& journal) : lock_(journal + QStringLiteral(".lock")) {
        lock_.setStaleLockTime(10000);
        lock_.tryLock(2000);
    }

  private:
    QLockFile lock_;
};

// The entries, one JSON object a line; none when the journal cannot be read. A line cut short by
// a program killed while writing it is skipped: its change was never begun.
std::optional<std::vector<QJsonObject>> readEntries(const QString& path) {
    std::vector<QJsonObject> entries;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    while (!file.atEnd()) {
        const QJsonDocument entry = QJsonDocument::fromJson(file.readLine());
        if (entry.isObject())
            entries.push_back(entry.object());
    }
    return entries;
}

// Flushed to the disk before the change is begun: the entries have to outlast the commit.
bool appendEntries(const QString& path, const std::vector<QJsonObject>& entries) {
    QFile file(path);
    QByteArray lines;
    for (const QJsonObject& entry : entries)
        lines += QJsonDocument(entry).toJson(QJsonDocument::Compact) + '\n';
    return file.open(QIODevice::WriteOnly | QIODevice::Append) &&
           file.write(lines) == lines.size() && file.flush() && ::fsync(file.handle()) == 0;
}

// The journal holding entries, removed when there are none.
void rewriteEntries(const QString& path, const std::vector<QJsonObject>& entries) {
    if (entries.empty()) {
        QFile::remove(path);
        return;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    for (const QJsonObject& entry : entries)
        file.write(QJsonDocument(entry).toJson(QJsonDocument::Compact) + '\n');
    file.commit();
}

// Takes the entries out of the journal, read afresh so entries added meanwhile stay.
void removeEntries(const QString& path, const QSet<QString>& ids) {
    JournalLock lock(path);
    std::vector<QJsonObject> entries = readEntries(path).value_or(std::vector<QJsonObject>());
    const auto before = entries.size();
    std::erase_if(entries,
                  [&](const QJsonObject& entry) { return ids.contains(entry["id"].toString()); });
    if (entries.size() != before)
        rewriteEntries(path, entries);
}

bool logHolds(const QString& line) {
    QFile file(LogFilePath());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    while (!file.atEnd())
        if (QString::fromUtf8(file.readLine()).trimmed() == line)
            return true;
    return false;
}

QString isoDate(const QDate& date) {
    return date.toString(Qt::ISODate);
}

bool sameMoney(double a, double b) {
    return std::abs(RoundCents(a) - RoundCents(b)) < 0.005;
}

QString createdMessage(const QString& number, double billed) {
    return "Created invoice# " + number + ", billed$ " + FormatMoney(billed);
}

// What an account save stores, as text: a stored profile that reads back the same is the save.
QJsonArray fingerprint(const ProfileRecord& p) {
    QJsonArray fields{p.AccountNumber, p.MasterAccount, p.CustomerName, p.Email,
                      p.Phone,         p.BusinessClass, p.Comments,     p.PayableTo,
                      p.MonthDay,      p.InvoiceType,   p.BillCycle,    p.GraceDays};
    for (const auto* lines : {&p.Address, &p.BillAddress, &p.RecievingAddress})
        for (const QString& line : *lines)
            fields.append(line);
    return fields;
}

enum class Verdict { InBook, NotInBook, Unknown };

// Whether the book holds the entry's change; message is its log line's text when it does.
// Every read is a plain query on the open book, so a failed read proves nothing either way.
Verdict check(const QJsonObject& entry, QString& message) {
    const QString kind = entry["change"].toString();
    const QString key = entry["key"].toString();
    if (kind == InvoiceCreatedKind || kind == PaymentSavedKind || kind == InvoiceDeletedKind) {
        const auto read = ReadInvoice(key);
        if (!read)
            return Verdict::Unknown;
        const std::optional<InvoiceRecord>& stored = *read;
        bool inBook = false;
        if (kind == InvoiceDeletedKind) {
            inBook = !stored;
        } else if (stored && kind == InvoiceCreatedKind) {
            const double billed = stored->AmountBilled.value_or(0.0);
            inBook = stored->AccountNumber == entry["account"].toString() &&
                     isoDate(stored->DateBilled) == entry["billed"].toString() &&
                     isoDate(stored->DateDue) == entry["due"].toString() &&
                     sameMoney(billed - stored->PastDue.value_or(0.0), entry["charges"].toDouble());
            message = createdMessage(key, billed);
        } else if (stored) {
            inBook = isoDate(stored->DateRecieved) == entry["received"].toString() &&
                     stored->CheckNumber == entry["reference"].toString() &&
                     sameMoney(stored->AmountRecieved.value_or(0.0), entry["amount"].toDouble());
        }
        if (kind != InvoiceCreatedKind)
            message = entry["message"].toString();
        return inBook ? Verdict::InBook : Verdict::NotInBook;
    }
    if (kind == AccountAddedKind || kind == AccountEditedKind || kind == AccountDeletedKind) {
        const auto read = ReadProfile(key);
        if (!read)
            return Verdict::Unknown;
        const std::optional<ProfileRecord>& stored = *read;
        message = entry["message"].toString();
        const bool inBook = kind == AccountDeletedKind
                                ? !stored
                                : stored && fingerprint(*stored) == entry["profile"].toArray();
        return inBook ? Verdict::InBook : Verdict::NotInBook;
    }
    if (kind == AccountsImportedKind) {
        message = entry["message"].toString();
        for (const QJsonValue profile : entry["profiles"].toArray()) {
            const auto read = ReadProfile(profile.toArray().first().toString());
            if (!read)
                return Verdict::Unknown;
            if (*read && fingerprint(**read) == profile.toArray())
                return Verdict::InBook;
        }
    }
    return Verdict::NotInBook; // a kind this program does not know changes nothing it logs
}

QString lineOf(const QJsonObject& entry, const QString& message) {
    return TransactionLine(QDateTime::fromString(entry["at"].toString(), Qt::ISODateWithMs),
                           message);
}
} // namespace

LoggedChange::LoggedChange(QJsonObject entry, bool journalNow) : entry_(std::move(entry)) {
    // With the log switched off there is no line to keep.
    if (Settings().TransactionLog != 1)
        return;
    entry_["id"] = QUuid::createUuid().toString(QUuid::WithoutBraces);
    entry_["book"] = Settings().Database;
    entry_["at"] = QDateTime::currentDateTime().toString(Qt::ISODateWithMs);
    logging_ = true;
    // A journal that cannot be written leaves the line as unguarded as it always was; the log
    // beside it most likely cannot be written either, which the line's own write reports.
    journalled_ = journalNow && appendEntries(journalPath(), {entry_});
}

LoggedChange::LoggedChange(LoggedChange&& other) noexcept
    : entry_(std::move(other.entry_)), logging_(other.logging_), journalled_(other.journalled_) {
    other.logging_ = false;
    other.journalled_ = false;
}

QJsonObject LoggedChange::invoiceCreatedEntry(const InvoiceRecord& invoice, double charges) {
    return QJsonObject{{"change", InvoiceCreatedKind},     {"key", invoice.InvoiceNumber},
                       {"account", invoice.AccountNumber}, {"billed", isoDate(invoice.DateBilled)},
                       {"due", isoDate(invoice.DateDue)},  {"charges", RoundCents(charges)}};
}

LoggedChange LoggedChange::InvoiceCreated(const InvoiceRecord& invoice, double charges) {
    return LoggedChange(invoiceCreatedEntry(invoice, charges));
}

std::vector<LoggedChange>
LoggedChange::InvoicesCreated(const std::vector<std::pair<InvoiceRecord, double>>& invoices) {
    std::vector<LoggedChange> changes;
    std::vector<QJsonObject> entries;
    for (const auto& [invoice, charges] : invoices) {
        changes.push_back(LoggedChange(invoiceCreatedEntry(invoice, charges), false));
        if (changes.back().logging_)
            entries.push_back(changes.back().entry_);
    }
    const bool journalled = !entries.empty() && appendEntries(journalPath(), entries);
    for (LoggedChange& change : changes)
        change.journalled_ = journalled && change.logging_;
    return changes;
}

LoggedChange LoggedChange::PaymentSaved(const PaymentEntry& entry) {
    return LoggedChange(QJsonObject{{"change", PaymentSavedKind},
                                    {"key", entry.number},
                                    {"received", isoDate(entry.dateReceived)},
                                    {"reference", entry.reference},
                                    {"amount", RoundCents(entry.amountReceived)},
                                    {"message", "Edited invoice# " + entry.number + ", recieved$ " +
                                                    FormatMoney(entry.amountReceived)}});
}

LoggedChange LoggedChange::InvoiceDeleted(const QString& number) {
    return LoggedChange(QJsonObject{{"change", InvoiceDeletedKind},
                                    {"key", number},
                                    {"message", "Deleted invoice# " + number}});
}

LoggedChange LoggedChange::AccountSaved(const ProfileRecord& profile, bool editing) {
    return LoggedChange(QJsonObject{{"change", editing ? AccountEditedKind : AccountAddedKind},
                                    {"key", profile.AccountNumber},
                                    {"profile", fingerprint(profile)},
                                    {"message", (editing ? QStringLiteral("Edited account# ")
                                                         : QStringLiteral("Added account# ")) +
                                                    profile.AccountNumber}});
}

LoggedChange LoggedChange::AccountDeleted(const QString& account) {
    return LoggedChange(QJsonObject{{"change", AccountDeletedKind},
                                    {"key", account},
                                    {"message", "Deleted account# " + account}});
}

LoggedChange LoggedChange::AccountsImported(const QString& fileName,
                                            const std::vector<ProfileRecord>& profiles) {
    QJsonArray fingerprints;
    for (const ProfileRecord& profile : profiles)
        fingerprints.append(fingerprint(profile));
    return LoggedChange(QJsonObject{{"change", AccountsImportedKind},
                                    {"key", fileName},
                                    {"profiles", fingerprints},
                                    {"message", "Imported accounts from " + fileName}});
}

void LoggedChange::Landed() {
    // A created invoice's line needs the amount billed; without it the next start writes it.
    if (entry_.value("change").toString() == InvoiceCreatedKind)
        return;
    settle(true);
}

void LoggedChange::Landed(double amountBilled) {
    entry_["message"] = createdMessage(entry_["key"].toString(), amountBilled);
    settle(true);
}

void LoggedChange::Dropped() {
    settle(false);
}

void LoggedChange::settle(bool landed) {
    settleAll({this}, landed);
}

void LoggedChange::LandedTogether(std::vector<LoggedChange>& changes,
                                  const std::vector<double>& amountsBilled) {
    std::vector<LoggedChange*> all;
    for (std::size_t i = 0; i < changes.size(); ++i) {
        changes[i].entry_["message"] =
            createdMessage(changes[i].entry_["key"].toString(), amountsBilled.at(i));
        all.push_back(&changes[i]);
    }
    settleAll(all, true);
}

void LoggedChange::DroppedTogether(std::vector<LoggedChange>& changes) {
    std::vector<LoggedChange*> all;
    for (LoggedChange& change : changes)
        all.push_back(&change);
    settleAll(all, false);
}

void LoggedChange::settleAll(const std::vector<LoggedChange*>& changes, bool landed) {
    std::vector<LoggedChange*> due;
    for (LoggedChange* change : changes)
        if (std::exchange(change->logging_, false))
            due.push_back(change);
    if (due.empty())
        return;
    const QString path = journalPath();
    // The lines go to the log before the entries leave the journal, so a program ending in
    // between leaves the entries, which the next start finds already logged. An entry that is
    // gone was settled by a program started meanwhile, which wrote the line only if the change
    // was already in the book.
    QSet<QString> pending;
    if (std::any_of(due.begin(), due.end(), [](const LoggedChange* c) { return c->journalled_; })) {
        JournalLock lock(path);
        for (const QJsonObject& entry : readEntries(path).value_or(std::vector<QJsonObject>()))
            pending.insert(entry["id"].toString());
    }
    QSet<QString> settled;
    for (LoggedChange* change : due) {
        const QString id = change->entry_.value("id").toString();
        const bool inJournal = change->journalled_ && pending.contains(id);
        const QString line = lineOf(change->entry_, change->entry_["message"].toString());
        if (landed && (inJournal || !change->journalled_ || !logHolds(line)))
            AppendTransactionLine(line);
        if (inJournal)
            settled.insert(id);
        change->journalled_ = false;
    }
    if (!settled.isEmpty())
        removeEntries(path, settled);
}

void SettleLoggedChanges() {
    const QString path = journalPath();
    if (!QFile::exists(path))
        return;
    const QString book = Settings().Database;
    std::vector<QJsonObject> kept;
    QStringList lines;
    JournalLock lock(path);
    const auto entries = readEntries(path);
    if (!entries)
        return;
    {
        BookSession session(book);
        for (const QJsonObject& entry : *entries) {
            // Another book whose log has the same name keeps its entries for its own start.
            QString message;
            const Verdict verdict = entry["book"].toString() == book && session.isOpen()
                                        ? check(entry, message)
                                        : Verdict::Unknown;
            if (verdict == Verdict::Unknown)
                kept.push_back(entry);
            else if (verdict == Verdict::InBook)
                lines << lineOf(entry, message);
        }
    }
    for (const QString& line : std::as_const(lines))
        if (!logHolds(line))
            AppendTransactionLine(line);
    rewriteEntries(path, kept);
}
