#pragma once

#include "result.h"

#include <QDate>
#include <QString>
#include <vector>

struct DueAccount {
    QString account;
    QString name;
    QString monthDay;
};

// Accounts on the monthly cycle, by billing day, with no invoice billed in today's month.
// Reads from the book the caller has open.
Result<std::vector<DueAccount>> AccountsDueThisMonth(const QDate& today);
