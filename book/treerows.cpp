#include "treerows.h"

#include "accounts.h"
#include "columns.h"
#include "eventpacer.h"
#include "invoices.h"

namespace {
TreeAccount lineOf(const ProfileRecord& profile) {
    return {profile.AccountNumber, profile.CustomerName};
}
} // namespace

TreeRows ReadTreeRows(QString& error) {
    TreeRows rows;
    EventPacer pacer;
    for (const ProfileRecord& master : ProfilesOfMaster(QLatin1String(MasterMarker), error))
        rows.masters.push_back({lineOf(master), {}});
    if (!error.isEmpty())
        return rows;
    for (TreeMaster& master : rows.masters) {
        for (const ProfileRecord& linked : ProfilesOfMaster(master.master.account, error))
            master.linked.push_back(lineOf(linked));
        if (!error.isEmpty())
            return rows;
        pacer.letEventsRun();
    }
    for (const InvoiceRecord& invoice : AllInvoices(error))
        rows.invoices.push_back({invoice.InvoiceNumber, invoice.AccountNumber, !invoice.IsPaid()});
    return rows;
}
