#pragma once

#include <QDate>
#include <QString>
#include <vector>

struct DueAccount {
    QString account;
    QString name;
    QString monthDay;
};

// Accounts on the monthly cycle, by billing day, with no invoice billed in today's month.
// Reads from the open book; on a failed read error is filled and nothing is listed.
std::vector<DueAccount> AccountsDueThisMonth(const QDate& today, QString& error);
