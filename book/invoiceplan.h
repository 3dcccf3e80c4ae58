#pragma once

#include "invoicelines.h"
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
    // The invoice's lines as priced and their totals; an invoice that needs them prints on the
    // lines form, where the totals show net and tax and charges is the new charges.
    std::vector<InvoiceLine> lines;
    InvoiceTotals totals;

    // Name and addresses from the account's profile.
    void takeAddresses(const ProfileRecord& profile);
};

inline constexpr int InvoiceSheetIndex = 0;

// Every text of the invoice and of its remittance stub, each stored as text, in writing order.
// Only cells of the form's fields are written: the labels around them stay.
std::vector<SheetTexts> PlanInvoiceSheet(const InvoiceCells& cells);

// A count as typed: the locale's decimal point, no group separators, no trailing zeros.
QString FormatCount(double count);

// The lines form: the head in fixed cells, the headings in row InvoiceLinesHeadingRow (repeated
// on every page), one row per line below them, then the totals, the messages and the
// remittance stub, in rows that follow from the number of lines.
inline constexpr int InvoiceLinesHeadingRow = 19;

struct InvoiceLinesPlan {
    std::vector<SheetTexts> texts;
    std::vector<std::pair<int, int>> bold;     // (row, column) in bold Arial
    std::vector<std::pair<int, int>> bordered; // (row, column) in bold Arial with a border
    // The stub's rows, which must print on one page.
    int stubFirstRow = 0;
    int stubLastRow = 0;
};

InvoiceLinesPlan PlanInvoiceLinesSheet(const InvoiceCells& cells);
