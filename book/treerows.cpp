#include "treerows.h"

#include "accounts.h"
#include "events.h"
#include "invoices.h"

#include <QHash>

namespace {
TreeAccount lineOf(const ProfileRecord& profile) {
    return {profile.AccountNumber, profile.CustomerName};
}
} // namespace

Result<TreeRows> ReadTreeRows() {
    TreeRows rows;
    // One read of the profiles, grouped here, rather than one query per master.
    const auto read = AllProfiles();
    if (!read)
        return read.failure();
    const std::vector<ProfileRecord>& profiles = *read;
    QHash<QString, std::size_t> masterAt;
    for (const ProfileRecord& profile : profiles) {
        if (profile.IsMaster()) {
            masterAt.insert(profile.AccountNumber, rows.masters.size());
            rows.masters.push_back({lineOf(profile), {}});
        }
    }
    for (const ProfileRecord& profile : profiles) {
        if (const auto master = masterAt.constFind(profile.MasterAccount);
            master != masterAt.cend())
            rows.masters[*master].linked.push_back(lineOf(profile));
    }
    LetEventsRun();
    const auto invoices = AllInvoices();
    if (!invoices)
        return invoices.failure();
    for (const InvoiceRecord& invoice : *invoices)
        rows.invoices.push_back({invoice.InvoiceNumber, invoice.AccountNumber, !invoice.IsPaid()});
    return rows;
}
