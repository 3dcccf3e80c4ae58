#include "treerows.h"

#include "accounts.h"
#include "invoices.h"

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
    const auto invoices = AllInvoices();
    if (!invoices)
        return invoices.failure();
    std::vector<TreeInvoice> rows;
    rows.reserve(invoices->size());
    for (const InvoiceRecord& invoice : *invoices)
        rows.push_back({invoice.InvoiceNumber, invoice.AccountNumber, !invoice.IsPaid()});
    return rows;
}
