#pragma once

#include "records.h"
#include "sheettexts.h"

#include <QString>
#include <array>
#include <vector>

// What one invoice prints, and where on the invoice form each text goes.

// Texts as they go into the cells. A blank invoice leaves units, charges and amount billed
// empty.
struct InvoiceCells {
    QString account;
    QString number;
    QString dateBilled;
    QString units;
    QString charges;
    QString previous;
    QString billed;
    QString dateDue;
    std::array<QString, 2> messages;
    QString payable;
    QString description;
    QString customerName;
    std::array<QString, 4> billAddress;
    std::array<QString, 4> receivingAddress;
    QString guid;

    // Name and addresses from the account's profile.
    void takeAddresses(const ProfileRecord& profile);
};

inline constexpr int InvoiceSheetIndex = 0;

// Every text of the invoice and of its remittance stub, each stored as text, in writing order.
// Only cells of the form's fields are written: the labels around them stay.
std::vector<SheetTexts> PlanInvoiceSheet(const InvoiceCells& cells);
