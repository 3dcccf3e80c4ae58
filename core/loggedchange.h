#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <utility>
#include <vector>

struct InvoiceRecord;
struct PaymentEntry;
struct ProfileRecord;

// The log line of a change to the book. The book commits before the line can be written, so a
// program ending in between would lose the line. The line is therefore first written to a
// journal beside the log (LogFilePath() + ".pending"), with what proves that the change is in
// the book; after the commit it goes to the log and leaves the journal. An entry the program did
// not settle is settled at the next start (SettleLoggedChanges) against the book itself.
//
// Made before the book operation is called; then Landed() once it committed, or Dropped() when
// it was refused or failed. One left unsettled stays in the journal for the next start.
class LoggedChange {
  public:
    static LoggedChange InvoiceCreated(const InvoiceRecord& invoice, double charges);
    // Invoices stored together, with their new charges: journalled in one write.
    static std::vector<LoggedChange>
    InvoicesCreated(const std::vector<std::pair<InvoiceRecord, double>>& invoices);
    static LoggedChange PaymentSaved(const PaymentEntry& entry);
    static LoggedChange InvoiceDeleted(const QString& number);
    static LoggedChange AccountSaved(const ProfileRecord& profile, bool editing);
    static LoggedChange AccountDeleted(const QString& account);
    // Accounts imported from the file named: the profiles the file's rows describe. The import
    // is in the book when one of them is stored as described.
    static LoggedChange AccountsImported(const QString& fileName,
                                         const std::vector<ProfileRecord>& profiles);

    LoggedChange(LoggedChange&& other) noexcept;
    LoggedChange& operator=(LoggedChange&&) = delete;
    LoggedChange(const LoggedChange&) = delete;
    LoggedChange& operator=(const LoggedChange&) = delete;
    ~LoggedChange() = default;

    // The change is in the book: its line is logged (as LogTransaction does) and leaves the
    // journal. A created invoice's line names the amount billed as stored, given here.
    void Landed();
    void Landed(double amountBilled);
    // Nothing was stored: no line, and the entry leaves the journal.
    void Dropped();

    // Changes stored together in one transaction, settled with one rewrite of the journal however
    // many there are: created invoices landed with their amounts billed as stored (one for each),
    // or all dropped.
    static void LandedTogether(std::vector<LoggedChange>& changes,
                               const std::vector<double>& amountsBilled);
    static void DroppedTogether(std::vector<LoggedChange>& changes);

  private:
    explicit LoggedChange(QJsonObject entry, bool journalNow = true);
    static QJsonObject invoiceCreatedEntry(const InvoiceRecord& invoice, double charges);
    void settle(bool landed);
    static void settleAll(const std::vector<LoggedChange*>& changes, bool landed);

    QJsonObject entry_;
    bool logging_ = false;    // a line is due when the change lands
    bool journalled_ = false; // the entry is in the journal
};

// Settles the journal of the book in force: the line of each change that the book holds is
// appended to the log (dated when the change was made, never twice), the rest are dropped; an
// entry that cannot be checked (the book does not open, a read fails, the log cannot be
// written) stays for the next time. Run at start, before the log is read.
void SettleLoggedChanges();
