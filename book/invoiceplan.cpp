#include "invoiceplan.h"

#include "formats.h"

#include <QLocale>

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

QString FormatCount(double count) {
    QLocale shown = QLocale::system();
    shown.setNumberOptions(QLocale::OmitGroupSeparator);
    return shown.toString(count, 'g', 12);
}

namespace {
constexpr int FirstLineRow = InvoiceLinesHeadingRow + 1;
constexpr int LabelColumn = 3; // the rate column, right-aligned, holds the labels of the totals
constexpr int AmountColumn = 4;

// A rate in cents shows as money; a finer one as typed.
QString FormatRate(double rate) {
    return RoundCents(rate) == rate ? FormatMoney(rate) : FormatCount(rate);
}

SheetTexts lineTable(const std::vector<InvoiceLine>& lines) {
    SheetTexts table{FirstLineRow, 1, {}};
    for (const InvoiceLine& line : lines)
        table.texts.push_back({line.description, FormatCount(line.units), FormatRate(line.rate),
                               FormatMoney(line.amount), line.taxName});
    return table;
}

// Label and amount pairs under the amount column, one row each.
SheetTexts figures(int row, const QList<QStringList>& pairs) {
    return {row, LabelColumn, pairs};
}
} // namespace

InvoiceLinesPlan PlanInvoiceLinesSheet(const InvoiceCells& c) {
    InvoiceLinesPlan plan;
    auto& texts = plan.texts;
    // The head: who to pay, the invoice and the customer, in the form's fixed cells.
    texts.push_back(cell(2, 1, c.payable));
    texts.push_back(lines(3, 1, c.receivingAddress));
    texts.push_back(cell(5, 5, c.number));
    texts.push_back(cell(7, 5, c.account));
    texts.push_back(cell(9, 5, c.dateBilled));
    texts.push_back(cell(13, 1, c.customerName));
    texts.push_back(lines(14, 1, c.billAddress));
    if (!c.lines.empty())
        texts.push_back(lineTable(c.lines));

    // One blank row after the last line.
    const int netRow = FirstLineRow + static_cast<int>(c.lines.size()) + 1;
    QList<QStringList> totals{{QStringLiteral("Net"), FormatMoney(c.totals.net)}};
    for (const TaxOfRate& tax : c.totals.taxes)
        totals.push_back({tax.name, FormatMoney(tax.tax)});
    const int chargesRow = netRow + static_cast<int>(totals.size());
    totals.push_back({QStringLiteral("New Charges"), c.charges});
    totals.push_back({QStringLiteral("Previous Balance"), c.previous});
    totals.push_back({QStringLiteral("Amount Billed"), c.billed});
    totals.push_back({QStringLiteral("Date Due"), c.dateDue});
    texts.push_back(figures(netRow, totals));
    const int billedRow = chargesRow + 2;
    plan.bold.push_back({chargesRow, LabelColumn});
    plan.bold.push_back({billedRow, LabelColumn});
    plan.bordered.push_back({billedRow, AmountColumn});

    const int messageRow = billedRow + 3;
    texts.push_back(lines(messageRow, 1, c.messages));
    texts.push_back(cell(messageRow + 2, 1, c.guid));

    // The stub repeats what the customer sends back with the payment.
    const int stub = messageRow + 4;
    plan.stubFirstRow = stub;
    texts.push_back(cell(stub, 1,
                         QStringLiteral("\u2702  Please detach and return this part with your "
                                        "payment")));
    texts.push_back(cell(stub + 1, 1, QStringLiteral("REMITTANCE")));
    texts.push_back(cell(stub + 2, 1, QStringLiteral("MAKE CHEQUES PAYABLE TO")));
    texts.push_back(cell(stub + 3, 1, c.payable));
    texts.push_back(cell(stub + 5, 1, QStringLiteral("MAIL PAYMENT TO")));
    texts.push_back(lines(stub + 6, 1, c.receivingAddress));
    texts.push_back(figures(stub + 2, {{QStringLiteral("Account"), c.account},
                                       {QStringLiteral("Invoice No."), c.number},
                                       {QStringLiteral("Amount Billed"), c.billed},
                                       {QStringLiteral("Date Due"), c.dateDue},
                                       {QString(), QString()},
                                       {QStringLiteral("Amount Enclosed"), QString()}}));
    plan.stubLastRow = stub + 10;
    texts.push_back(cell(plan.stubLastRow, 1, c.guid));
    for (const int row : {stub + 1, stub + 2, stub + 5})
        plan.bold.push_back({row, 1});
    plan.bold.push_back({stub + 4, LabelColumn});
    plan.bordered.push_back({stub + 4, AmountColumn});
    plan.bordered.push_back({stub + 7, AmountColumn});
    return plan;
}
