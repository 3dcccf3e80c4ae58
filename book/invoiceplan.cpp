#include "invoiceplan.h"

void InvoiceCells::takeAddresses(const ProfileRecord& profile) {
    customerName = profile.CustomerName;
    billAddress = profile.BillAddress;
    receivingAddress = profile.RecievingAddress;
}

namespace {
SheetTexts cell(int row, int column, const QString& text) {
    return {row, column, {{text}}};
}

template <std::size_t N>
SheetTexts lines(int row, int column, const std::array<QString, N>& texts) {
    SheetTexts block{row, column, {}};
    for (const QString& text : texts)
        block.texts.push_back({text});
    return block;
}
} // namespace

std::vector<SheetTexts> PlanInvoiceSheet(const InvoiceCells& c) {
    // The stub (rows 42 and below) repeats what the customer sends back with the payment.
    return {
        cell(8, 10, c.account),      cell(57, 5, c.account),
        cell(5, 10, c.number),       cell(57, 3, c.number),
        cell(11, 10, c.dateBilled),  cell(22, 1, c.units),
        cell(42, 1, c.units),        cell(22, 10, c.charges),
        cell(42, 10, c.charges),     cell(26, 10, c.previous),
        cell(46, 10, c.previous),    cell(29, 10, c.billed),
        cell(49, 10, c.billed),      cell(32, 10, c.dateDue),
        cell(52, 10, c.dateDue),     lines(34, 1, c.messages),
        cell(49, 1, c.payable),      cell(22, 3, c.description),
        cell(42, 3, c.description),  cell(13, 1, c.customerName),
        lines(14, 1, c.billAddress), lines(52, 1, c.receivingAddress),
        cell(38, 10, c.guid),        cell(57, 10, c.guid),
    };
}
