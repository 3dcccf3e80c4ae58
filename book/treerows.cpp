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

TreeRows ReadTreeRows(QString& error) {
    TreeRows rows;
    // One read of the profiles, grouped here, rather than one query per master.
    const std::vector<ProfileRecord> profiles = AllProfiles(error);
    if (!error.isEmpty())
        return rows;
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
    for (const InvoiceRecord& invoice : AllInvoices(error))
        rows.invoices.push_back({invoice.InvoiceNumber, invoice.AccountNumber, !invoice.IsPaid()});
    return rows;
}
