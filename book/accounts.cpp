#include "accounts.h"

#include "bookwork.h"
#include "columns.h"
#include "statements.h"

#include <algorithm>

using namespace bookwork;

bool HoldsControlCharacters(const QString& text) {
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) {
        const QChar::Category kind = c.category();
        return kind == QChar::Other_Control || kind == QChar::Separator_Line ||
               kind == QChar::Separator_Paragraph;
    });
}

Result<std::optional<ProfileRecord>> ReadProfile(const QString& account) {
    return ReadOne<ProfileRecord>(sql::SelectProfile, account);
}

Result<bool> AccountExists(const QString& account) {
    const auto profile = ReadProfile(account);
    if (!profile)
        return profile.failure();
    return profile->has_value();
}

Result<std::vector<ProfileRecord>> ProfilesOfMaster(const QString& master) {
    return ReadAll<ProfileRecord>(sql::SelectProfilesOfMaster, {master});
}

Result<std::vector<ProfileRecord>> AllProfiles() {
    return ReadAll<ProfileRecord>(sql::SelectAllProfiles);
}

Result<QStringList> AccountNumbers() {
    const auto profiles = AllProfiles();
    if (!profiles)
        return profiles.failure();
    QStringList numbers;
    for (const ProfileRecord& profile : *profiles)
        numbers << profile.AccountNumber;
    return numbers;
}

Result<std::optional<BalanceRecord>> ReadBalance(const QString& account) {
    return ReadOne<BalanceRecord>(sql::SelectBalance, account);
}

Result<AccountSave> SaveAccount(const ProfileRecord& profile, const QString& replacing) {
    bool duplicate = false;
    const Outcome saved = InTransaction([&]() -> Outcome {
        if (!replacing.isEmpty()) {
            if (Outcome removed = Execute(sql::DeleteProfile, {replacing}); !removed)
                return removed;
        } else {
            const auto exists = AccountExists(profile.AccountNumber);
            if (!exists)
                return exists.failure();
            if (*exists) {
                duplicate = true;
                return Refusal(QStringLiteral("The account number is taken."));
            }
            const QDate today = QDate::currentDate();
            const QVariantList balance = {profile.AccountNumber, QStringLiteral("0.00"), QString(),
                                          today, today};
            if (Outcome added = Append(tables::Logs, balance); !added)
                return added;
        }
        Outcome appended = Append(tables::CustomerProfile, profile.ToRow());
        duplicate = !appended && IsTakenKey(appended.failure());
        return appended;
    });
    if (duplicate)
        return AccountSave::Duplicate;
    if (!saved)
        return saved.failure();
    return AccountSave::Saved;
}

Outcome DeleteAccount(const QString& account, bool master) {
    return InTransaction([&]() -> Outcome {
        QStringList accounts;
        if (master) {
            const auto linked = ProfilesOfMaster(account);
            if (!linked)
                return linked.failure();
            for (const ProfileRecord& profile : *linked)
                accounts << profile.AccountNumber;
        }
        accounts << account;
        for (const QString& each : accounts) {
            for (const char* statement :
                 {sql::DeleteProfile, sql::DeleteInvoicesOfAccount, sql::DeleteBalance}) {
                if (Outcome deleted = Execute(statement, {each}); !deleted)
                    return deleted;
            }
        }
        return Done{};
    });
}
