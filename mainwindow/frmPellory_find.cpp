// Finding a customer in the tree: the find box narrows the accounts shown as the user types.
#include "frmPellory.h"
#include "nodekeys.h"

#include <QLineEdit>
#include <QTreeWidget>

namespace {
bool matches(const QTreeWidgetItem* node, const QString& wanted) {
    return AccountOf(node).contains(wanted, Qt::CaseInsensitive) ||
           node->data(0, noderole::Name).toString().contains(wanted, Qt::CaseInsensitive);
}
} // namespace

// An account stays when its number or name holds the text; a master also stays, opened, for
// a linked account that does. The first account that stays becomes the current node, so that
// Enter takes the user to it. An empty text shows every account again and moves nothing.
void frmPellory::applyFind() {
    QTreeWidgetItem* customers = Node(nodetag::Customers);
    if (!customers)
        return;
    const QString wanted = TEXT_Find->text().trimmed();
    QTreeWidgetItem* first = nullptr;
    for (int m = 0; m < customers->childCount(); ++m) {
        QTreeWidgetItem* master = customers->child(m);
        const bool masterShown = matches(master, wanted);
        if (masterShown && !first)
            first = master;
        bool linkedShown = false;
        for (int l = 0; l < master->childCount(); ++l) {
            QTreeWidgetItem* linked = master->child(l);
            const bool shown = matches(linked, wanted);
            linked->setHidden(!shown);
            if (shown && !first)
                first = linked;
            linkedShown = linkedShown || shown;
        }
        master->setHidden(!masterShown && !linkedShown);
        if (!wanted.isEmpty() && linkedShown)
            master->setExpanded(true);
    }
    if (wanted.isEmpty() || !first)
        return;
    customers->setExpanded(true);
    TreeView1->setCurrentItem(first);
    TreeView1->scrollToItem(first);
}

// Back to the tree on the node found; clearing the text shows every account again.
void frmPellory::leaveFind(bool clear) {
    if (clear)
        TEXT_Find->clear();
    TreeView1->setFocus(Qt::ShortcutFocusReason);
    if (QTreeWidgetItem* node = TreeView1->currentItem())
        TreeView1->scrollToItem(node);
}
