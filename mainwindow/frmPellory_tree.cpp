// The account and invoice tree: rebuilding it, invoice detail lines, double-click routing.
#include "bookaccess.h"
#include "busypointer.h"
#include "eventpacer.h"
#include "frmPellory.h"
#include "invoices.h"
#include "modCommand.h"
#include "nodekeys.h"
#include "prompts.h"
#include "settings.h"
#include "treerows.h"

#include <QScrollBar>
#include <QTreeWidget>
#include <tuple>

namespace {
const QString OpenFailure = QStringLiteral("Error opening main database, cannot continue.");
constexpr int NoIcon = 0;
constexpr int IconCustomers = 1;
constexpr int IconAccount = 2;
constexpr int IconCurrent = 3;
constexpr int IconInvoices = 4;
constexpr int IconInvoice = 5;
constexpr int IconAll = 6;

QString accountText(const TreeAccount& account) {
    return account.account + ", " + account.name;
}

void holdAccount(QTreeWidgetItem* node, const TreeAccount& account) {
    if (!node)
        return;
    node->setData(0, noderole::Account, account.account);
    node->setData(0, noderole::Name, account.name);
}

void holdInvoice(QTreeWidgetItem* node, const TreeInvoice& invoice) {
    if (!node)
        return;
    node->setData(0, noderole::Account, invoice.account);
    node->setData(0, noderole::Invoice, invoice.number);
}
} // namespace

QString frmPellory::KeyOf(const QTreeWidgetItem* node) {
    return node ? node->data(0, noderole::Key).toString() : QString();
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
    QTreeWidgetItem* node = newNode(key, text, icon);
    if (parent)
        parent->addChild(node);
    else
        TreeView1->addTopLevelItem(node);
    return node;
}

// A node known by its key, not yet in the tree.
QTreeWidgetItem* frmPellory::newNode(const QString& key, const QString& text, int icon) {
    auto* node = new QTreeWidgetItem;
    node->setText(0, text);
    node->setData(0, noderole::Key, key);
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
    // The user's place survives a rebuild, which another desk's save can set off at any time.
    const QStringList expanded = expandedKeys();
    const QString current = KeyOf(TreeView1->currentItem());
    const int scrolled = TreeView1->verticalScrollBar()->value();
    TreeView1->clear();
    nodes_.clear();
    filledFolders_.clear();
    BusyPointer busy;
    showOpenBook();
    setStatus(QStringLiteral("Refreshing, please wait..."));
    LetEventsRun();
    // Invoices are read only for a folder the user had open.
    const bool invoicesShown =
        expanded.contains(nodetag::Current) || expanded.contains(nodetag::All);
    std::optional<Result<std::vector<TreeMaster>>> accounts;
    std::optional<Result<std::vector<TreeInvoice>>> invoices;
    if (!WorkOnBook(this, OpenFailure + "\n\n", [&] {
            accounts.emplace(ReadTreeAccounts());
            if (!invoicesShown)
                return;
            LetEventsRun();
            invoices.emplace(ReadTreeInvoices());
        })) {
        setStatus(QStringLiteral("Error opening main database!"));
        return;
    }
    // What was read is shown, but the user must not take it for the whole book.
    std::optional<BookFailure> unread;
    if (!accounts->ok())
        unread = accounts->failure();
    else if (invoices && !invoices->ok())
        unread = invoices->failure();
    const auto masters = accounts->ok() ? accounts->value() : std::vector<TreeMaster>();
    EventPacer pacer;
    addNode(QString(), nodetag::Customers, QStringLiteral("Customer Profiles"), IconCustomers);
    for (const TreeMaster& master : masters) {
        holdAccount(addNode(nodetag::Customers, nodetag::Master + master.master.account,
                            accountText(master.master), IconAccount),
                    master.master);
        pacer.letEventsRun();
    }
    setAccountCommandsEnabled(!masters.empty());
    for (const TreeMaster& master : masters) {
        for (const TreeAccount& linked : master.linked) {
            holdAccount(addNode(nodetag::Master + master.master.account,
                                nodetag::Account + linked.account, accountText(linked),
                                IconAccount),
                        linked);
            pacer.letEventsRun();
        }
    }
    addNode(QString(), nodetag::Invoices, QStringLiteral("Invoices"), IconInvoices);
    for (const auto& [key, text, icon] :
         {std::tuple(nodetag::Current, QStringLiteral("Current Unpaid Invoices"), IconCurrent),
          std::tuple(nodetag::All, QStringLiteral("All Invoices"), IconAll)}) {
        QTreeWidgetItem* folder = addNode(nodetag::Invoices, key, text, icon);
        folder->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
        if (invoices && invoices->ok() && expanded.contains(key))
            fillFolder(folder, invoices->value());
    }
    for (const QString& key : expanded)
        if (QTreeWidgetItem* node = Node(key); node && !isUnfilledFolder(key))
            node->setExpanded(true);
    if (QTreeWidgetItem* node = Node(current))
        TreeView1->setCurrentItem(node);
    TreeView1->verticalScrollBar()->setValue(scrolled);
    LogTransaction(QString());
    applyFind();
    if (!unread) {
        setStatus(QStringLiteral("Ready"));
        return;
    }
    busy.release();
    reportIncompleteTree(*unread);
}

// The roots, the folders and the masters: an invoice's detail lines go with a rebuild anyway, and
// asking each of tens of thousands of invoice nodes would cost more than the rebuild.
QStringList frmPellory::expandedKeys() const {
    QStringList expanded;
    for (const QString& key :
         {nodetag::Customers, nodetag::Invoices, nodetag::Current, nodetag::All})
        if (const QTreeWidgetItem* node = Node(key); node && node->isExpanded())
            expanded << key;
    const QTreeWidgetItem* customers = Node(nodetag::Customers);
    for (int i = 0; customers && i < customers->childCount(); ++i)
        if (customers->child(i)->isExpanded())
            expanded << KeyOf(customers->child(i));
    return expanded;
}

bool frmPellory::isUnfilledFolder(const QString& key) const {
    return (key == nodetag::Current || key == nodetag::All) && !filledFolders_.contains(key);
}

// The invoices of a folder in one insertion: one by one, tens of thousands of them would each
// tell the view.
void frmPellory::fillFolder(QTreeWidgetItem* folder, const std::vector<TreeInvoice>& invoices) {
    const QString folderKey = KeyOf(folder);
    const bool unpaidOnly = folderKey == nodetag::Current;
    const QString& tag = unpaidOnly ? nodetag::InvoiceCurrent : nodetag::Invoice;
    QList<QTreeWidgetItem*> children;
    children.reserve(static_cast<qsizetype>(invoices.size()));
    for (const TreeInvoice& invoice : invoices) {
        const QString key = tag + invoice.number;
        if ((unpaidOnly && !invoice.unpaid) || nodes_.contains(key))
            continue;
        QTreeWidgetItem* node = newNode(key, invoice.number + ", " + invoice.account, IconInvoice);
        holdInvoice(node, invoice);
        children << node;
    }
    folder->addChildren(children);
    folder->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
    filledFolders_.insert(folderKey);
}

// An invoice folder is read when the user first opens it after a build.
void frmPellory::folderExpanded(QTreeWidgetItem* folder) {
    const QString key = KeyOf(folder);
    if (!isUnfilledFolder(key))
        return;
    if (treeBusy_) {
        // The rebuild that follows reads it, the folder being open then.
        rebuildPending_ = true;
        return;
    }
    treeBusy_ = true;
    BusyPointer busy;
    const auto read = ReadFromBook<std::vector<TreeInvoice>>(this, OpenFailure + "\n\n",
                                                             [] { return ReadTreeInvoices(); });
    // Looked up again: the folder may have gone with a rebuild asked for meanwhile.
    if (read && read->ok())
        if (QTreeWidgetItem* shown = Node(key))
            fillFolder(shown, read->value());
    treeBusy_ = false;
    busy.release();
    if (read && !read->ok())
        reportIncompleteTree(read->failure());
    if (rebuildPending_)
        RefreshTree();
}

void frmPellory::reportIncompleteTree(const BookFailure& unread) {
    setStatus(QStringLiteral("Error reading main database!"));
    ShowMessage(this, "Error reading main database, the tree is incomplete.\n\n" + unread.message,
                QMessageBox::Critical);
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
    const auto read = ReadFromBook<std::optional<InvoiceRecord>>(
        this, OpenFailure + "\n\n", [&] { return ReadInvoice(invoiceNumber); });
    if (!read)
        return;
    if (!read->ok()) {
        ShowIncompleteRead(this, "Invoice " + invoiceNumber, read->failure());
        return;
    }
    const std::optional<InvoiceRecord>& invoice = read->value();
    if (!invoice)
        return;
    const QString editTag = current ? nodetag::DetailCurrentEdit : nodetag::DetailEdit;
    const QString lineTag = current ? nodetag::DetailCurrent : nodetag::Detail;
    if (QTreeWidgetItem* edit = addNode(parentKey, editTag + invoiceNumber, EditLineText, NoIcon))
        edit->setForeground(0, QColor(255, 0, 0));
    for (const DetailLine& line : InvoiceDetailLines(*invoice))
        addNode(parentKey, lineTag + invoiceNumber + line.suffix, line.text, NoIcon);
}

void frmPellory::nodeDoubleClicked() {
    const QTreeWidgetItem* node = TreeView1->currentItem();
    if (treeBusy_ || !node)
        return;
    const QString key = KeyOf(node);
    const QString tag = SplitNodeKey(key).tag;
    if (tag == nodetag::Master || tag == nodetag::Account) {
        openCustomerEditor(AccountOf(node));
    } else if (tag == nodetag::InvoiceCurrent || tag == nodetag::Invoice) {
        LoadInvoiceDetails(key, InvoiceOf(node), tag == nodetag::InvoiceCurrent);
        // Looked up again: a rebuild asked for meanwhile may have replaced the node.
        if (QTreeWidgetItem* expanded = Node(key))
            expanded->setExpanded(true);
    } else if (tag == nodetag::DetailCurrentEdit || tag == nodetag::DetailEdit) {
        openInvoiceEditing(node->parent());
    }
}
