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

// Masters in the book's order, each with its linked accounts.
Result<std::vector<TreeMaster>> ReadTreeAccounts();
// Every invoice, read apart from the accounts so that a tree whose invoices cannot be read
// still shows its accounts.
Result<std::vector<TreeInvoice>> ReadTreeInvoices();
