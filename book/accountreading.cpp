#include "accountreading.h"

#include "accounts.h"
#include "invoices.h"

namespace {
template <typename Record> QVariantList rowOf(const std::optional<Record>& record) {
    return record ? record->ToRow() : QVariantList();
}

// Compared by the values as they are written back, which covers every column.
bool sameRows(const AccountReading& one, const AccountReading& other) {
    return rowOf(one.profile) == rowOf(other.profile) &&
           rowOf(one.balance) == rowOf(other.balance) && rowOf(one.stored) == rowOf(other.stored);
}
} // namespace

Result<AccountReading> ReadProfileAsStored(const QString& account) {
    auto profile = ReadProfile(account);
    if (!profile)
        return profile.failure();
    return AccountReading{account, QString(), std::move(*profile), std::nullopt, std::nullopt};
}

Result<AccountReading> ReadFiguresAsStored(const QString& account, const QString& invoice) {
    auto balance = ReadBalance(account);
    if (!balance)
        return balance.failure();
    auto stored = ReadInvoice(invoice);
    if (!stored)
        return stored.failure();
    return AccountReading{account, invoice, std::nullopt, std::move(*balance), std::move(*stored)};
}

Result<bool> ChangedSinceRead(const AccountReading& read) {
    const auto now = read.invoice.isEmpty() ? ReadProfileAsStored(read.account)
                                            : ReadFiguresAsStored(read.account, read.invoice);
    if (!now)
        return now.as<bool>();
    return !sameRows(read, *now);
}
