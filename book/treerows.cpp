#include "treerows.h"

#include "accounts.h"
#include "bookwork.h"
#include "formats.h"

#include <QHash>

namespace {
TreeAccount lineOf(const ProfileRecord& profile) {
    return {profile.AccountNumber, profile.CustomerName};
}
} // namespace

Result<std::vector<TreeMaster>> ReadTreeAccounts() {
    // One read of the profiles, grouped here, rather than one query per master.
    const auto profiles = AllProfiles();
    if (!profiles)
        return profiles.failure();
    std::vector<TreeMaster> masters;
    QHash<QString, std::size_t> masterAt;
    for (const ProfileRecord& profile : *profiles) {
        if (profile.IsMaster()) {
            masterAt.insert(profile.AccountNumber, masters.size());
            masters.push_back({lineOf(profile), {}});
        }
    }
    for (const ProfileRecord& profile : *profiles) {
        if (const auto master = masterAt.constFind(profile.MasterAccount);
            master != masterAt.cend())
            masters[*master].linked.push_back(lineOf(profile));
    }
    return masters;
}

Result<std::vector<TreeInvoice>> ReadTreeInvoices() {
    if (Outcome queried = bookwork::Query(sql::SelectTreeInvoices, {}); !queried)
        return queried.failure();
    Recordset& found = SharedRecordset();
    std::vector<TreeInvoice> rows;
    rows.reserve(static_cast<std::size_t>(found.RecordCount()));
    // Paid by the same reading of the stored date as the invoice's record.
    for (found.MoveFirst(); !found.EndOfFile(); found.MoveNext())
        rows.push_back({found.Fields(0).toString(), found.Fields(1).toString(),
                        !DateFromStored(found.Fields(2)).isValid()});
    return rows;
}
