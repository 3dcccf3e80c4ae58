#pragma once

#include "result.h"

#include <QString>
#include <vector>

// What the main window's tree shows, read from the open book in one go.
struct TreeAccount {
    QString account;
    QString name;
};

struct TreeMaster {
    TreeAccount master;
    std::vector<TreeAccount> linked;
};

struct TreeInvoice {
    QString number;
    QString account;
    bool unpaid = false;
};

struct TreeRows {
    std::vector<TreeMaster> masters;
    std::vector<TreeInvoice> invoices;
};

// Masters in the book's order, each with its linked accounts, then every invoice.
Result<TreeRows> ReadTreeRows();
