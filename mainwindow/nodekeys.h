#pragma once

#include <QString>
#include <QtCore/qnamespace.h>
#include <vector>

class QTreeWidgetItem;
struct InvoiceRecord;

// Every tree node has a unique key: a bracketed tag followed by a value (an account or invoice
// number, for detail lines followed by a one-digit suffix).
namespace nodetag {
inline const QString Customers = QStringLiteral("[Customers]");
inline const QString Master = QStringLiteral("[Master]");
inline const QString Account = QStringLiteral("[Account]");
inline const QString Invoices = QStringLiteral("[Invoices]");
inline const QString Current = QStringLiteral("[Current]");
inline const QString All = QStringLiteral("[All]");
inline const QString Invoice = QStringLiteral("[Invoice]");
inline const QString InvoiceCurrent = QStringLiteral("[InvoiceCurrent]");
inline const QString DetailEdit = QStringLiteral("[DetailEdit]");
inline const QString DetailCurrentEdit = QStringLiteral("[DetailCurrentEdit]");
inline const QString Detail = QStringLiteral("[Detail]");
inline const QString DetailCurrent = QStringLiteral("[DetailCurrent]");
} // namespace nodetag

// What a node stands for, stored in its data when it is added. The numbers are read from here,
// never parsed back from the node's text or key: a number may hold a comma or blanks.
namespace noderole {
inline constexpr int Key = Qt::UserRole;
inline constexpr int Account = Qt::UserRole + 1; // account and invoice nodes
inline constexpr int Invoice = Qt::UserRole + 2; // invoice nodes
inline constexpr int Name = Qt::UserRole + 3;    // account nodes: the customer name
} // namespace noderole

// The account or invoice number a node stands for; empty on nodes without one.
QString AccountOf(const QTreeWidgetItem* node);
QString InvoiceOf(const QTreeWidgetItem* node);

struct NodeKeyParts {
    QString tag;   // everything up to and including the first "]"
    QString value; // everything after it
};

// Splits a key into its tag and value, each trimmed of surrounding blanks. A key without "]"
// has an empty tag and is all value.
NodeKeyParts SplitNodeKey(const QString& key);

inline const QString EditLineText = QStringLiteral("< Double click here to edit this invoice >");

struct DetailLine {
    QString suffix;
    QString text;
};

// The eight detail lines of an invoice, in the order they are shown.
std::vector<DetailLine> InvoiceDetailLines(const InvoiceRecord& invoice);
