#include "nodekeys.h"

#include "columns.h"
#include "formats.h"

NodeKeyParts SplitNodeKey(const QString& key) {
    const qsizetype end = key.indexOf(']');
    return {key.left(end + 1).trimmed(), key.mid(end + 1).trimmed()};
}

namespace {
QString textOf(const QVariantList& row, int column) {
    return row.value(column).toString();
}

QString dateOf(const QVariantList& row, int column) {
    return ShowStoredDate(row.value(column));
}

QString moneyOf(const QVariantList& row, int column) {
    const auto amount = ParseMoney(row.value(column));
    return amount ? FormatMoney(*amount) : textOf(row, column);
}
} // namespace

std::vector<DetailLine> InvoiceDetailLines(const QVariantList& row) {
    return {
        {"1", "Account Number: " + textOf(row, col::InvoiceAccount)},
        {"2", "Date Billed: " + dateOf(row, col::DateBilled)},
        {"4", "Date Due: " + dateOf(row, col::DateDue)},
        {"5", "Date Recieved: " + dateOf(row, col::DateRecieved)},
        {"6", "$ Past Due: " + moneyOf(row, col::PastDue)},
        {"7", "$ Billed: " + moneyOf(row, col::AmountBilled)},
        {"8", "$ Recieved: " + moneyOf(row, col::AmountRecieved)},
        {"9", "Check Number: " + textOf(row, col::CheckNumber)},
    };
}
