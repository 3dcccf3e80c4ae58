#pragma once

#include "records.h"
#include "result.h"

#include <optional>

// The stored rows a window's figures for an account rest on, kept from the moment it read them
// so that a save can tell whether another desk changed them meanwhile: the account's profile, or
// its balance row and one of its invoices. Works on the connection the caller has opened.
struct AccountReading {
    QString account;
    QString invoice; // empty when the profile was read
    std::optional<ProfileRecord> profile;
    std::optional<BalanceRecord> balance;
    std::optional<InvoiceRecord> stored; // the invoice, when one was read
};

// The profile as stored now.
Result<AccountReading> ReadProfileAsStored(const QString& account);
// The balance row and the invoice as stored now.
Result<AccountReading> ReadFiguresAsStored(const QString& account, const QString& invoice);

// True when the rows the reading holds are no longer what the book stores, or are gone.
Result<bool> ChangedSinceRead(const AccountReading& read);
