// The account and invoice tree: rebuilding it, invoice detail lines, double-click routing.
#include "busypointer.h"
#include "columns.h"
#include "eventpacer.h"
#include "formats.h"
#include "frmPellory.h"
#include "modCommand.h"
#include "modDAO.h"
#include "nodekeys.h"
#include "prompts.h"
#include "settings.h"
#include "statements.h"

#include <QTreeWidget>

namespace {
const QString OpenFailure = QStringLiteral("Error opening main database, cannot continue.");
constexpr int NoIcon = 0;
constexpr int IconCustomers = 1;
constexpr int IconAccount = 2;
constexpr int IconCurrent = 3;
constexpr int IconInvoices = 4;
constexpr int IconInvoice = 5;
constexpr int IconAll = 6;
constexpr int KeyRole = Qt::UserRole;

QString accountText(const Recordset& rows) {
    return rows.Fields(col::AccountNumber).toString() + ", " +
           rows.Fields(col::CustomerName).toString();
}

QVariantList currentRow(const Recordset& rows, int columns) {
    QVariantList row;
    for (int i = 0; i < columns; ++i)
        row << rows.Fields(i);
    return row;
}
} // namespace

QString frmPellory::KeyOf(const QTreeWidgetItem* node) {
    return node ? node->data(0, KeyRole).toString() : QString();
}

QTreeWidgetItem* frmPellory::Node(const QString& key) const {
    return nodes_.value(key);
}

// A duplicate key or a missing parent adds nothing; the caller carries on.
QTreeWidgetItem* frmPellory::addNode(const QString& parentKey, const QString& key,
                                     const QString& text, int icon) {
    if (nodes_.contains(key))
        return nullptr;
    QTreeWidgetItem* parent = nullptr;
    if (!parentKey.isEmpty()) {
        parent = nodes_.value(parentKey);
        if (!parent)
            return nullptr;
    }
    auto* node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(TreeView1);
    node->setText(0, text);
    node->setData(0, KeyRole, key);
    if (icon != NoIcon)
        node->setIcon(0, IL_Tree[icon - 1]);
    nodes_.insert(key, node);
    return node;
}

void frmPellory::RefreshTree() {
    if (treeBusy_) {
        rebuildPending_ = true;
        return;
    }
    treeBusy_ = true;
    do {
        rebuildPending_ = false;
        rebuildTree();
    } while (rebuildPending_);
    treeBusy_ = false;
}

void frmPellory::rebuildTree() {
    TreeView1->clear();
    nodes_.clear();
    BusyPointer busy;
    setStatus(QStringLiteral("Refreshing, please wait..."));
    QCoreApplication::processEvents();
    QString error;
    if (daoOpen_DBConnection(Settings().Database, error) != 0) {
        busy.release();
        setStatus(QStringLiteral("Error opening main database!"));
        ShowMessage(this, OpenFailure + "\n\n" + error, QMessageBox::Critical);
        return;
    }
    EventPacer pacer;
    Recordset& rows = SharedRecordset();
    addNode(QString(), nodetag::Customers, QStringLiteral("Customer Profiles"), IconCustomers);
    QStringList masters;
    if (daoGet_DBTableRecord(QLatin1String(sql::SelectProfilesOfMaster), error,
                             {QLatin1String(MasterMarker)}) == 0) {
        const bool any = rows.MoveFirst();
        for (; !rows.EndOfFile(); rows.MoveNext()) {
            const QString account = rows.Fields(col::AccountNumber).toString();
            addNode(nodetag::Customers, nodetag::Master + account, accountText(rows), IconAccount);
            masters << account;
            pacer.letEventsRun();
        }
        setAccountCommandsEnabled(any);
    }
    for (const QString& master : masters) {
        if (daoGet_DBTableRecord(QLatin1String(sql::SelectProfilesOfMaster), error, {master}) != 0)
            continue;
        for (rows.MoveFirst(); !rows.EndOfFile(); rows.MoveNext()) {
            addNode(nodetag::Master + master,
                    nodetag::Account + rows.Fields(col::AccountNumber).toString(),
                    accountText(rows), IconAccount);
            pacer.letEventsRun();
        }
    }
    addNode(QString(), nodetag::Invoices, QStringLiteral("Invoices"), IconInvoices);
    addNode(nodetag::Invoices, nodetag::Current, QStringLiteral("Current Unpaid Invoices"),
            IconCurrent);
    addNode(nodetag::Invoices, nodetag::All, QStringLiteral("All Invoices"), IconAll);
    if (daoGet_DBTableRecord(QLatin1String(sql::SelectAllInvoices), error) == 0) {
        for (rows.MoveFirst(); !rows.EndOfFile(); rows.MoveNext()) {
            const QString invoice = rows.Fields(col::InvoiceNumber).toString();
            const QString text = invoice + ", " + rows.Fields(col::InvoiceAccount).toString();
            addNode(nodetag::All, nodetag::Invoice + invoice, text, IconInvoice);
            if (!DateFromStored(rows.Fields(col::DateRecieved)).isValid())
                addNode(nodetag::Current, nodetag::InvoiceCurrent + invoice, text, IconInvoice);
            pacer.letEventsRun();
        }
    }
    daoClose_DBConnection();
    LogTransaction(QString());
    setStatus(QStringLiteral("Ready"));
}

void frmPellory::LoadInvoiceDetails(const QString& parentKey, const QString& invoiceNumber,
                                    bool current) {
    if (treeBusy_)
        return;
    treeBusy_ = true;
    addInvoiceDetails(parentKey, invoiceNumber, current);
    treeBusy_ = false;
    if (rebuildPending_)
        RefreshTree();
}

void frmPellory::addInvoiceDetails(const QString& parentKey, const QString& invoiceNumber,
                                   bool current) {
    BusyPointer busy;
    QString error;
    if (daoOpen_DBConnection(Settings().Database, error) != 0) {
        busy.release();
        ShowMessage(this, OpenFailure + "\n\n" + error, QMessageBox::Critical);
        return;
    }
    Recordset& rows = SharedRecordset();
    if (daoGet_DBTableRecord(QLatin1String(sql::SelectInvoice), error, {invoiceNumber}) == 0 &&
        rows.MoveFirst()) {
        const QString editTag = current ? nodetag::DetailCurrentEdit : nodetag::DetailEdit;
        const QString lineTag = current ? nodetag::DetailCurrent : nodetag::Detail;
        if (QTreeWidgetItem* edit =
                addNode(parentKey, editTag + invoiceNumber, EditLineText, NoIcon))
            edit->setForeground(0, QColor(255, 0, 0));
        const auto lines = InvoiceDetailLines(currentRow(rows, col::InvoiceColumnCount));
        for (const DetailLine& line : lines)
            addNode(parentKey, lineTag + invoiceNumber + line.suffix, line.text, NoIcon);
    }
    daoClose_DBConnection();
}

void frmPellory::nodeDoubleClicked() {
    const QTreeWidgetItem* node = TreeView1->currentItem();
    if (treeBusy_ || !node)
        return;
    const QString key = KeyOf(node);
    const auto [tag, value] = SplitNodeKey(key);
    if (tag == nodetag::Master || tag == nodetag::Account) {
        openCustomerEditor(value);
    } else if (tag == nodetag::InvoiceCurrent || tag == nodetag::Invoice) {
        LoadInvoiceDetails(key, value, tag == nodetag::InvoiceCurrent);
        // Looked up again: a rebuild asked for meanwhile may have replaced the node.
        if (QTreeWidgetItem* expanded = Node(key))
            expanded->setExpanded(true);
    } else if (tag == nodetag::DetailCurrentEdit || tag == nodetag::DetailEdit) {
        openInvoiceEditing(node->parent());
    }
}
