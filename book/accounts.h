#pragma once

#include "records.h"

#include <QStringList>
#include <optional>
#include <vector>

// Account operations on the open book. Queries fill error on failure (empty otherwise);
// changes return the data layer's result with error filled, and land whole or not at all.

// Account numbers are keys shown on one line and written into log lines: a control character
// or line separator in one is refused.
bool HoldsControlCharacters(const QString& text);

std::optional<ProfileRecord> ReadProfile(const QString& account, QString& error);
bool AccountExists(const QString& account);
// The profiles whose MasterAccount is master; the marker lists the master accounts.
std::vector<ProfileRecord> ProfilesOfMaster(const QString& master, QString& error);
std::vector<ProfileRecord> AllProfiles(QString& error);
// Every account number, in the book's order.
QStringList AccountNumbers(QString& error);
std::optional<BalanceRecord> ReadBalance(const QString& account, QString& error);

// Stores a profile. With `replacing` (the account being edited) its stored row is replaced;
// without, the account is new and gets its balance row of 0.00 too.
qint32 SaveAccount(const ProfileRecord& profile, const QString& replacing, QString& error);

// Deletes the account's profile, invoices and balance row; a master account takes every
// account linked to it along.
qint32 DeleteAccount(const QString& account, bool master, QString& error);
