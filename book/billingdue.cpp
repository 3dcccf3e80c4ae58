#include "billingdue.h"

#include "bookwork.h"
#include "records.h"
#include "statements.h"

#include <QSet>

Result<std::vector<DueAccount>> AccountsDueThisMonth(const QDate& today) {
    const auto cycle = bookwork::ReadAll<ProfileRecord>(sql::SelectCycleProfiles);
    if (!cycle)
        return cycle.failure();
    // One read of who was billed this month, instead of one per account: stored dates are ISO
    // text, which sorts as the dates do.
    const QDate first(today.year(), today.month(), 1);
    const auto billed =
        bookwork::ReadFirstColumn(sql::SelectAccountsBilledBetween, {first, first.addMonths(1)});
    if (!billed)
        return billed.failure();
    const QSet<QString> billedAccounts(billed->cbegin(), billed->cend());
    std::vector<DueAccount> due;
    for (const ProfileRecord& profile : *cycle) {
        if (!billedAccounts.contains(profile.AccountNumber))
            due.push_back({profile.AccountNumber, profile.CustomerName, profile.MonthDay});
    }
    return due;
}
