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
// An account whose invoices cannot be read is left out. Reads from the open book.
std::vector<DueAccount> AccountsDueThisMonth(const QDate& today, QString& error);
