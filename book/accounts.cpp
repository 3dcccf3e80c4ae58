#include "accounts.h"

#include "bookwork.h"
#include "columns.h"
#include "invoicelines.h"
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

std::optional<ProfileProblem> CheckProfile(const ProfileRecord& p) {
    const auto blank = [](const QString& text) { return text.trimmed().isEmpty(); };
    const struct {
        bool failed;
        const char* message;
        ProfileField field;
    } checks[] = {
        {blank(p.AccountNumber), "An Account Number is required.", ProfileField::AccountNumber},
        {p.AccountNumber.contains(','), "Please do not put comma's in the the Account Number.",
         ProfileField::AccountNumber},
        {HoldsControlCharacters(p.AccountNumber),
         "Please do not put control characters, such as a line break or a tab, in the Account "
         "Number.",
         ProfileField::AccountNumber},
        {blank(p.MasterAccount), "A Master Account Number is required.",
         ProfileField::MasterAccount},
        {blank(p.CustomerName), "A Customer Name is required.", ProfileField::CustomerName},
        {blank(p.BillAddress[0]), "A Billing Address is required.", ProfileField::BillAddress},
        {blank(p.PayableTo), "A Check Payable name is required.", ProfileField::PayableTo},
        {blank(p.RecievingAddress[0]), "A Recieving Address is required.",
         ProfileField::RecievingAddress},
    };
    for (const auto& check : checks)
        if (check.failed)
            return ProfileProblem{QString::fromLatin1(check.message), check.field};
    return std::nullopt;
}

Result<AccountSave> StoreAccount(const ProfileRecord& profile, const QString& replacing) {
    if (!replacing.isEmpty()) {
        if (Outcome removed = Execute(sql::DeleteProfile, {replacing}); !removed)
            return removed.failure();
    } else {
        const auto exists = AccountExists(profile.AccountNumber);
        if (!exists)
            return exists.failure();
        if (*exists)
            return AccountSave::Duplicate;
        const QDate today = QDate::currentDate();
        const QVariantList balance = {profile.AccountNumber, QStringLiteral("0.00"), QString(),
                                      today, today};
        if (Outcome added = Append(tables::Logs, balance); !added)
            return added.failure();
    }
    if (Outcome appended = Append(tables::CustomerProfile, profile.ToRow()); !appended) {
        if (IsTakenKey(appended.failure()))
            return AccountSave::Duplicate;
        return appended.failure();
    }
    return AccountSave::Saved;
}

Result<AccountSave> SaveAccount(const ProfileRecord& profile, const QString& replacing,
                                const std::optional<QString>& taxName) {
    AccountSave result = AccountSave::Saved;
    const Outcome saved = InTransaction([&]() -> Outcome {
        const auto stored = StoreAccount(profile, replacing);
        if (!stored)
            return stored.failure();
        result = *stored;
        // Rolled back: a balance row may have gone in before the profile was refused.
        if (result == AccountSave::Duplicate)
            return Refusal(QStringLiteral("The account number is taken."));
        if (taxName)
            return SetAccountTaxName(profile.AccountNumber, *taxName);
        return Done{};
    });
    if (result == AccountSave::Duplicate)
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
            // The lines go first: they are found through the account's invoices.
            if (Outcome unlined = DeleteLinesOfAccount(each); !unlined)
                return unlined;
            // A new account under the number must not be billed at this one's rate.
            if (Outcome untaxed = SetAccountTaxName(each, QString()); !untaxed)
                return untaxed;
            for (const char* statement :
                 {sql::DeleteProfile, sql::DeleteInvoicesOfAccount, sql::DeleteBalance}) {
                if (Outcome deleted = Execute(statement, {each}); !deleted)
                    return deleted;
            }
        }
        return Done{};
    });
}
