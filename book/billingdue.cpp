#include "billingdue.h"

#include "bookwork.h"
#include "eventpacer.h"
#include "invoices.h"
#include "statements.h"

namespace {
// True when one of the account's invoices was billed in today's month.
bool invoicedThisMonth(const QString& account, const QDate& today, bool& queryFailed) {
    QString error;
    const auto invoices = InvoicesOfAccount(account, error);
    queryFailed = !error.isEmpty();
    for (const InvoiceRecord& invoice : invoices) {
        const QDate& billed = invoice.DateBilled;
        if (billed.isValid() && billed.year() == today.year() && billed.month() == today.month())
            return true;
    }
    return false;
}
} // namespace

std::vector<DueAccount> AccountsDueThisMonth(const QDate& today, QString& error) {
    std::vector<DueAccount> due;
    EventPacer pacer;
    const auto cycle = bookwork::ReadAll<ProfileRecord>(sql::SelectCycleProfiles, {}, error);
    for (const ProfileRecord& profile : cycle) {
        bool queryFailed = false;
        if (!invoicedThisMonth(profile.AccountNumber, today, queryFailed) && !queryFailed)
            due.push_back({profile.AccountNumber, profile.CustomerName, profile.MonthDay});
        pacer.letEventsRun();
    }
    return due;
}
