#include "billingdue.h"

#include "bookwork.h"
#include "records.h"
#include "statements.h"

#include <QSet>

std::vector<DueAccount> AccountsDueThisMonth(const QDate& today, QString& error) {
    std::vector<DueAccount> due;
    const auto cycle = bookwork::ReadAll<ProfileRecord>(sql::SelectCycleProfiles, {}, error);
    if (!error.isEmpty())
        return due;
    // One read of who was billed this month, instead of one per account: stored dates are ISO
    // text, which sorts as the dates do.
    const QDate first(today.year(), today.month(), 1);
    QSet<QString> billed;
    if (daoGet_DBTableRecord(QLatin1String(sql::SelectAccountsBilledBetween), error,
                             {first, first.addMonths(1)}) != 0)
        return due;
    Recordset& rows = SharedRecordset();
    for (rows.MoveFirst(); !rows.EndOfFile(); rows.MoveNext())
        billed.insert(rows.Fields(0).toString());
    for (const ProfileRecord& profile : cycle) {
        if (!billed.contains(profile.AccountNumber))
            due.push_back({profile.AccountNumber, profile.CustomerName, profile.MonthDay});
    }
    return due;
}
