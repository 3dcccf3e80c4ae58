#pragma once

#include "records.h"
#include "result.h"

#include <QStringList>
#include <optional>
#include <vector>

// Account operations on the book the caller has open. Changes land whole or not at all.

// Account numbers are keys shown on one line and written into log lines: a control character
// or line separator in one is refused.
bool HoldsControlCharacters(const QString& text);

// The most grace days a profile allows after an invoice is due.
inline constexpr int GraceDaysMaximum = 30;

// The fields a profile's checks name, so that whoever shows a problem can point at the field.
enum class ProfileField {
    AccountNumber,
    MasterAccount,
    CustomerName,
    BillAddress,
    PayableTo,
    RecievingAddress
};

struct ProfileProblem {
    QString message;
    ProfileField field;
};

// The first reason the profile cannot be stored; none when it can. The account number is
// checked as typed, before it is trimmed for storing.
[[nodiscard]] std::optional<ProfileProblem> CheckProfile(const ProfileRecord& profile);

// None when the book holds no such account.
Result<std::optional<ProfileRecord>> ReadProfile(const QString& account);
Result<bool> AccountExists(const QString& account);
// The profiles whose MasterAccount is master; the marker lists the master accounts.
Result<std::vector<ProfileRecord>> ProfilesOfMaster(const QString& master);
Result<std::vector<ProfileRecord>> AllProfiles();
// Every account number, in the book's order.
Result<QStringList> AccountNumbers();
// None when the account has no balance row.
Result<std::optional<BalanceRecord>> ReadBalance(const QString& account);

enum class AccountSave { Saved, Duplicate };

// Stores a profile. With `replacing` (the account being edited) its stored row is replaced;
// without, the account is new and gets its balance row of 0.00 too, unless its number is taken:
// that is checked inside the transaction, so no other program can take it meanwhile. With
// taxName the account's tax rate is set to it (empty for none) in the same transaction;
// without, the rate stays as stored.
Result<AccountSave> SaveAccount(const ProfileRecord& profile, const QString& replacing,
                                const std::optional<QString>& taxName = std::nullopt);
// SaveAccount's work inside a transaction the caller holds. On Duplicate nothing was stored, but
// a server book may have failed the statement: the caller ends the transaction without committing.
Result<AccountSave> StoreAccount(const ProfileRecord& profile, const QString& replacing);

// Deletes the account's profile, invoices and balance row; a master account takes every
// account linked to it along.
Outcome DeleteAccount(const QString& account, bool master);
