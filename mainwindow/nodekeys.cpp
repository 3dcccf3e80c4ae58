#include "nodekeys.h"

#include "formats.h"
#include "records.h"

#include <QTreeWidgetItem>

NodeKeyParts SplitNodeKey(const QString& key) {
    const qsizetype end = key.indexOf(']');
    return {key.left(end + 1).trimmed(), key.mid(end + 1).trimmed()};
}

QString AccountOf(const QTreeWidgetItem* node) {
    return node ? node->data(0, noderole::Account).toString() : QString();
}

QString InvoiceOf(const QTreeWidgetItem* node) {
    return node ? node->data(0, noderole::Invoice).toString() : QString();
}

namespace {
QString moneyOf(const std::optional<double>& amount) {
    return amount ? FormatMoney(*amount) : QString();
}
} // namespace

std::vector<DetailLine> InvoiceDetailLines(const InvoiceRecord& invoice) {
    return {
        {"1", "Account Number: " + invoice.AccountNumber},
        {"2", "Date Billed: " + FormatShortDate(invoice.DateBilled)},
        {"4", "Date Due: " + FormatShortDate(invoice.DateDue)},
        {"5", "Date Recieved: " + FormatShortDate(invoice.DateRecieved)},
        {"6", "$ Past Due: " + moneyOf(invoice.PastDue)},
        {"7", "$ Billed: " + moneyOf(invoice.AmountBilled)},
        {"8", "$ Recieved: " + moneyOf(invoice.AmountRecieved)},
        {"9", "Check Number: " + invoice.CheckNumber},
    };
}
