#pragma once

#include <QHash>
#include <QIcon>
#include <QMainWindow>
#include <QSet>
#include <array>
#include <vector>

class BookWatch;
struct BookFailure;
struct TreeInvoice;
class QAction;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QSplitter;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;
class TransactionList;
class WindowToolbar;

// The main window: the account and invoice tree on the left, the transaction log on the right,
// the toolbar and the status bar. Closing it ends the program.
class frmPellory : public QMainWindow {
    Q_OBJECT
  public:
    explicit frmPellory(QWidget* parent = nullptr);
    ~frmPellory() override;

    // Rebuilds the tree from the database: every account, and the invoices of an invoice folder
    // only while it is open (a closed one is read when it is opened). Asked for while a tree
    // operation runs, it runs once more when that one has finished.
    void RefreshTree();
    // Adds the edit line and the eight detail lines of an invoice under the node parentKey.
    void LoadInvoiceDetails(const QString& parentKey, const QString& invoiceNumber, bool current);

    // The node with this key; null when there is none.
    QTreeWidgetItem* Node(const QString& key) const;
    static QString KeyOf(const QTreeWidgetItem* node);
    // The help document: the program folder, the program's file name, ".htm".
    static QString HelpDocumentPath();

    WindowToolbar* Toolbar1 = nullptr;
    QMenu* MENU_New = nullptr;      // the drop-down of the first toolbar button
    QLineEdit* TEXT_Find = nullptr; // finds customers in the tree by number or name
    QTreeWidget* TreeView1 = nullptr;
    QSplitter* SPLIT_Main = nullptr; // the tree side and the log side share the width
    QLabel* LABEL_Transaction = nullptr;
    TransactionList* LIST_Transaction = nullptr;
    std::array<QLabel*, 4> StatusPanels{}; // status text, "About", date, time
    QMenu* MENU_PopupMenu = nullptr;
    QAction* MENUOPT_ItemName = nullptr;
    QAction* MENUOPT_EditAccount = nullptr;
    QAction* MENUOPT_CreateInvoice = nullptr;
    QAction* MENUOPT_EditInvoice = nullptr;
    QAction* MENUOPT_ReprintInvoice = nullptr;
    QAction* MENUOPT_PrintStatement = nullptr;
    QAction* MENUOPT_SaveStatementPdf = nullptr;
    QAction* MENUOPT_EmailStatement = nullptr;
    QAction* MENUOPT_EmailInvoice = nullptr;
    std::array<QIcon, 6> IL_Tree; // node icons, positions 1 to 6

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void listenToAnnouncements();
    void buildControls();
    void buildToolbar();
    void buildPopupMenu();
    void buildStatusBar();
    QWidget* buildTreeSide();
    QWidget* buildLogSide();
    void restoreWindowState();
    void saveWindowState();
    bool handleKey(QKeyEvent* event);
    void showClock();

    void dispatchCommand(const QString& tag);
    void setCommandEnabled(QAction* command, bool enabled);
    void setAccountCommandsEnabled(bool enabled);
    void showPopupMenu(const QPoint& globalPosition);
    void showPopupMenuAtCurrentNode();
    void nodeDoubleClicked();
    template <typename Window> void openModal(const QString& account);
    void openCustomerEditor(const QString& account);
    void openInvoiceCreation(const QString& account);
    void openInvoiceEditing(const QTreeWidgetItem* invoiceNode);
    void openSchedule();
    void openSettings();
    void openAbout();
    void showTransactionLine();
    void openHelp();

    void applyFind();
    void leaveFind(bool clear);

    void rebuildTree();
    QStringList expandedKeys() const;
    bool isUnfilledFolder(const QString& key) const;
    void fillFolder(QTreeWidgetItem* folder, const std::vector<TreeInvoice>& invoices);
    void folderExpanded(QTreeWidgetItem* folder);
    void reportIncompleteTree(const BookFailure& unread);
    void addInvoiceDetails(const QString& parentKey, const QString& invoiceNumber, bool current);
    QTreeWidgetItem* addNode(const QString& parentKey, const QString& key, const QString& text,
                             int icon);
    QTreeWidgetItem* newNode(const QString& key, const QString& text, int icon);
    void setStatus(const QString& text);
    void showOpenBook();

    QHash<QString, QTreeWidgetItem*> nodes_;
    QSet<QString> filledFolders_;     // the invoice folders read since the last build
    QObject* treeViewport_ = nullptr; // compared only: it may be gone while the window closes
    QTimer* clock_ = nullptr;
    BookWatch* bookWatch_ = nullptr; // hears the other desks' saves on a server book
    bool Activated = false;
    bool treeBusy_ = false;       // a rebuild or detail load is running
    bool rebuildPending_ = false; // a rebuild was asked for meanwhile
};
