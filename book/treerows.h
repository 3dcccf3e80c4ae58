#pragma once

#include "result.h"

#include <QString>
#include <vector>

// What the main window's tree shows, read from the open book: the accounts when it is built,
// the invoices when one of their folders is opened.
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
// Every invoice, in the book's order, with only what its node shows.
Result<std::vector<TreeInvoice>> ReadTreeInvoices();
