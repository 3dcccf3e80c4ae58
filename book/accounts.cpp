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

std::optional<ProfileRecord> ReadProfile(const QString& account, QString& error) {
    return ReadOne<ProfileRecord>(sql::SelectProfile, account, error);
}

bool AccountExists(const QString& account) {
    QString error;
    return ReadProfile(account, error).has_value();
}

std::vector<ProfileRecord> ProfilesOfMaster(const QString& master, QString& error) {
    return ReadAll<ProfileRecord>(sql::SelectProfilesOfMaster, {master}, error);
}

std::vector<ProfileRecord> AllProfiles(QString& error) {
    return ReadAll<ProfileRecord>(sql::SelectAllProfiles, {}, error);
}

QStringList AccountNumbers(QString& error) {
    QStringList numbers;
    for (const ProfileRecord& profile : AllProfiles(error))
        numbers << profile.AccountNumber;
    return numbers;
}

std::optional<BalanceRecord> ReadBalance(const QString& account, QString& error) {
    return ReadOne<BalanceRecord>(sql::SelectBalance, account, error);
}

qint32 SaveAccount(const ProfileRecord& profile, const QString& replacing, QString& error) {
    return InTransaction(error, [&]() -> qint32 {
        if (!replacing.isEmpty()) {
            if (const qint32 result = Execute(sql::DeleteProfile, {replacing}, error))
                return result;
        } else {
            const QDate today = QDate::currentDate();
            const QVariantList balance = {profile.AccountNumber, QStringLiteral("0.00"), QString(),
                                          today, today};
            if (const qint32 result = Append(tables::Logs, balance, error))
                return result;
        }
        return Append(tables::CustomerProfile, profile.ToRow(), error);
    });
}

qint32 DeleteAccount(const QString& account, bool master, QString& error) {
    return InTransaction(error, [&]() -> qint32 {
        QStringList accounts;
        if (master) {
            const auto linked = ProfilesOfMaster(account, error);
            if (!error.isEmpty())
                return -1;
            for (const ProfileRecord& profile : linked)
                accounts << profile.AccountNumber;
        }
        accounts << account;
        for (const QString& each : accounts) {
            for (const char* statement :
                 {sql::DeleteProfile, sql::DeleteInvoicesOfAccount, sql::DeleteBalance}) {
                if (const qint32 result = Execute(statement, {each}, error))
                    return result;
            }
        }
        return 0;
    });
}
