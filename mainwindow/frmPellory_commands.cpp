// The main window's commands: toolbar, drop-down, popup menu, and the windows they open.
#include "busypointer.h"
#include "commandtags.h"
#include "frmAbout.h"
#include "frmBalance.h"
#include "frmCustomer.h"
#include "frmExport.h"
#include "frmImport.h"
#include "frmInvoice.h"
#include "frmPellory.h"
#include "frmReport.h"
#include "frmSchedule.h"
#include "frmSettings.h"
#include "invoiceemail.h"
#include "invoicereprint.h"
#include "nodekeys.h"
#include "prompts.h"
#include "statementpdf.h"
#include "statementprint.h"
#include "windowtoolbar.h"

#include <QMenu>
#include <QStyle>
#include <QToolButton>
#include <QTreeWidget>

namespace {
QAction* addMenuItem(QMenu* menu, const QString& caption, const QString& tag) {
    QAction* item = menu->addAction(caption);
    item->setData(tag);
    return item;
}
} // namespace

void frmPellory::buildToolbar() {
    Toolbar1 = new WindowToolbar(this);
    addToolBar(Toolbar1);
    QStyle* look = style();
    QAction* newButton =
        Toolbar1->addButton(QStringLiteral("&New"), command::New, QStringLiteral("New"),
                            look->standardIcon(QStyle::SP_FileIcon));
    Toolbar1->addSeparator();
    Toolbar1->addButton(QStringLiteral("&Balance"), command::Balance,
                        QStringLiteral("Account Balance"),
                        look->standardIcon(QStyle::SP_FileDialogDetailedView));
    Toolbar1->addButton(QStringLiteral("&Report"), command::Report,
                        QStringLiteral("Account Reports"),
                        look->standardIcon(QStyle::SP_FileDialogContentsView));
    Toolbar1->addButton(QStringLiteral("&Schedule"), command::Schedule,
                        QStringLiteral("Account Schedule"),
                        look->standardIcon(QStyle::SP_FileDialogListView));
    Toolbar1->addSeparator();
    Toolbar1->addButton(QStringLiteral("Refresh"), command::Refresh, QStringLiteral("Refresh"),
                        look->standardIcon(QStyle::SP_BrowserReload));
    Toolbar1->addSeparator();
    Toolbar1->addButton(QStringLiteral("Settings"), command::Settings,
                        QStringLiteral("Settings and Defaults"),
                        look->standardIcon(QStyle::SP_ComputerIcon));
    connect(Toolbar1, &WindowToolbar::commandTriggered, this,
            [this](const QString& tag) { dispatchCommand(tag); });

    MENU_New = new QMenu(this);
    addMenuItem(MENU_New, QStringLiteral("Enter New Customer"), command::Enter);
    addMenuItem(MENU_New, QStringLiteral("Import New Customer"), command::Import);
    addMenuItem(MENU_New, QStringLiteral("Export Books..."), command::Export);
    MENU_New->addSeparator();
    addMenuItem(MENU_New, QStringLiteral("New Invoice"), command::Invoice);
    MENU_New->addSeparator();
    addMenuItem(MENU_New, QStringLiteral("Statements"), command::Statements);
    connect(MENU_New, &QMenu::triggered, this,
            [this](QAction* item) { dispatchCommand(TagOf(item)); });
    auto* newTool = qobject_cast<QToolButton*>(Toolbar1->widgetForAction(newButton));
    newTool->setMenu(MENU_New);
    newTool->setPopupMode(QToolButton::MenuButtonPopup);

    for (QAction* item : Toolbar1->actions() + MENU_New->actions())
        if (!item->isSeparator())
            setCommandEnabled(item, true);
}

void frmPellory::buildPopupMenu() {
    MENU_PopupMenu = new QMenu(this);
    MENU_PopupMenu->setObjectName(QStringLiteral("MENU_PopupMenu"));
    MENUOPT_ItemName = MENU_PopupMenu->addAction(QString());
    QFont title = MENUOPT_ItemName->font();
    title.setBold(true);
    MENUOPT_ItemName->setFont(title);
    MENU_PopupMenu->addSeparator();
    MENUOPT_EditAccount =
        addMenuItem(MENU_PopupMenu, QStringLiteral("Edit Account"), command::EditAccount);
    MENUOPT_CreateInvoice =
        addMenuItem(MENU_PopupMenu, QStringLiteral("Create Invoice"), command::CreateInvoice);
    MENUOPT_EditInvoice =
        addMenuItem(MENU_PopupMenu, QStringLiteral("Edit Invoice"), command::EditInvoice);
    MENUOPT_ReprintInvoice =
        addMenuItem(MENU_PopupMenu, QStringLiteral("Reprint Invoice"), command::ReprintInvoice);
    MENUOPT_PrintStatement =
        addMenuItem(MENU_PopupMenu, QStringLiteral("Print Statement..."), command::PrintStatement);
    MENUOPT_SaveStatementPdf = addMenuItem(
        MENU_PopupMenu, QStringLiteral("Save Statement as PDF..."), command::SaveStatementPdf);
    MENUOPT_EmailStatement =
        addMenuItem(MENU_PopupMenu, QStringLiteral("Email Statement..."), command::EmailStatement);
    MENUOPT_EmailInvoice =
        addMenuItem(MENU_PopupMenu, QStringLiteral("Email Invoice..."), command::EmailInvoice);
    connect(MENUOPT_EditAccount, &QAction::triggered, this, [this] {
        if (const QTreeWidgetItem* node = TreeView1->currentItem())
            openCustomerEditor(AccountOf(node));
    });
    connect(MENUOPT_CreateInvoice, &QAction::triggered, this, [this] {
        if (const QTreeWidgetItem* node = TreeView1->currentItem())
            openInvoiceCreation(AccountOf(node));
    });
    connect(MENUOPT_EditInvoice, &QAction::triggered, this,
            [this] { openInvoiceEditing(TreeView1->currentItem()); });
    connect(MENUOPT_ReprintInvoice, &QAction::triggered, this, [this] {
        if (const QTreeWidgetItem* node = TreeView1->currentItem(); node && !treeBusy_)
            ReprintInvoice(this, InvoiceOf(node));
    });
    const auto onAccount = [this](QAction* item, void (*run)(QWidget*, const QString&)) {
        connect(item, &QAction::triggered, this, [this, run] {
            if (const QTreeWidgetItem* node = TreeView1->currentItem(); node && !treeBusy_)
                run(this, AccountOf(node));
        });
    };
    onAccount(MENUOPT_PrintStatement, PrintStatement);
    onAccount(MENUOPT_SaveStatementPdf, SaveStatementPdf);
    onAccount(MENUOPT_EmailStatement, EmailStatement);
    connect(MENUOPT_EmailInvoice, &QAction::triggered, this, [this] {
        if (const QTreeWidgetItem* node = TreeView1->currentItem(); node && !treeBusy_)
            EmailInvoice(this, InvoiceOf(node));
    });
}

void frmPellory::setCommandEnabled(QAction* command, bool enabled) {
    command->setEnabled(enabled);
}

void frmPellory::setAccountCommandsEnabled(bool enabled) {
    for (const QString& tag : {command::Balance, command::Report, command::Schedule})
        setCommandEnabled(Toolbar1->button(tag), enabled);
    for (QAction* item : MENU_New->actions())
        if (TagOf(item) == command::Invoice || TagOf(item) == command::Statements)
            setCommandEnabled(item, enabled);
}

// While the tree is being built, commands wait: they would share its database connection.
void frmPellory::dispatchCommand(const QString& tag) {
    if (treeBusy_)
        return;
    if (tag == command::New || tag == command::Enter)
        openCustomerEditor(QString());
    else if (tag == command::Import)
        ImportNewCustomers(this);
    else if (tag == command::Export) {
        frmExport exporting(this);
        ShowModal(&exporting);
    } else if (tag == command::Invoice)
        openInvoiceCreation(QString());
    else if (tag == command::Balance)
        openModal<frmBalance>(QString());
    else if (tag == command::Report)
        openModal<frmReport>(QString());
    else if (tag == command::Schedule)
        openSchedule();
    else if (tag == command::Refresh)
        RefreshTree();
    else if (tag == command::Settings)
        openSettings();
    else if (tag == command::Statements)
        PrintStatements(this);
}

void frmPellory::showPopupMenu(const QPoint& globalPosition) {
    const QTreeWidgetItem* node = TreeView1->currentItem();
    if (treeBusy_ || !node)
        return;
    MENUOPT_ItemName->setText(node->text(0));
    const QString tag = SplitNodeKey(KeyOf(node)).tag;
    const bool account = tag == nodetag::Account || tag == nodetag::Master;
    const bool invoice = tag == nodetag::InvoiceCurrent || tag == nodetag::Invoice;
    if (!account && !invoice)
        return;
    setCommandEnabled(MENUOPT_EditAccount, account);
    setCommandEnabled(MENUOPT_CreateInvoice, account);
    setCommandEnabled(MENUOPT_EditInvoice, invoice);
    setCommandEnabled(MENUOPT_ReprintInvoice, invoice);
    for (QAction* item : {MENUOPT_PrintStatement, MENUOPT_SaveStatementPdf, MENUOPT_EmailStatement})
        setCommandEnabled(item, account);
    setCommandEnabled(MENUOPT_EmailInvoice, invoice);
    MENU_PopupMenu->popup(globalPosition);
}

// From the keyboard the menu opens below the current node's text, where a mouse would be.
void frmPellory::showPopupMenuAtCurrentNode() {
    QTreeWidgetItem* node = TreeView1->currentItem();
    if (treeBusy_ || !node)
        return;
    TreeView1->scrollToItem(node);
    const QRect shown = TreeView1->visualItemRect(node);
    if (shown.isEmpty()) // hidden by the find box
        return;
    showPopupMenu(TreeView1->viewport()->mapToGlobal(shown.bottomLeft()));
}

// Loads the window under the busy pointer, hands it the account and shows it modally.
template <typename Window> void frmPellory::openModal(const QString& account) {
    BusyPointer busy;
    Window window(this);
    window.Tag = account;
    busy.release();
    ShowModal(&window);
}

void frmPellory::openCustomerEditor(const QString& account) {
    openModal<frmCustomer>(account);
}

void frmPellory::openInvoiceCreation(const QString& account) {
    openModal<frmInvoice>(account);
}

// Not modal, so the tree stays usable beside it. It holds the numbers, never the node: a
// rebuild of the tree cannot pull anything from under it. It goes when it closes, or with
// this window.
void frmPellory::openInvoiceEditing(const QTreeWidgetItem* invoiceNode) {
    if (!invoiceNode)
        return;
    auto* window = new frmBalance(this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->Tag = AccountOf(invoiceNode);
    window->SelectedInvoice = InvoiceOf(invoiceNode);
    window->show();
}

void frmPellory::openSchedule() {
    frmSchedule schedule(this);
    ShowModal(&schedule);
}

void frmPellory::openSettings() {
    frmSettings settings(this);
    ShowModal(&settings);
}

void frmPellory::openAbout() {
    if (treeBusy_)
        return;
    frmAbout about(this);
    ShowModal(&about);
}
