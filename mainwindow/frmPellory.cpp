#include "frmPellory.h"

#include "announcer.h"
#include "bookchanges.h"
#include "bookwatch.h"
#include "formats.h"
#include "paths.h"
#include "prompts.h"
#include "settings.h"
#include "transactionlist.h"
#include "typedsettings.h"
#include "windowkeys.h"
#include "windowparts.h"
#include "windowtoolbar.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace {
constexpr QSize DesignClientSize(792, 480);
constexpr int DesignTreeWidth = 392;
constexpr int DesignListWidth = 384;
constexpr int ListHorizontalExtent = 500;

} // namespace

// The icons live in a static library, whose resources are not registered on their own.
static void initTreeIcons() {
    Q_INIT_RESOURCE(treeicons);
}

frmPellory::frmPellory(QWidget* parent) : QMainWindow(parent) {
    initTreeIcons();
    setObjectName(QStringLiteral("frmPellory"));
    showOpenBook();
    IL_Tree = {QIcon(":/tree/customers.xpm"), QIcon(":/tree/account.xpm"),
               QIcon(":/tree/current.xpm"),   QIcon(":/tree/invoices.xpm"),
               QIcon(":/tree/invoice.xpm"),   QIcon(":/tree/all.xpm")};
    buildControls();
    buildToolbar();
    buildPopupMenu();
    buildStatusBar();
    resize(DesignClientSize + QSize(0, 90)); // the normal size, with toolbar and status bar
    LIST_Transaction->setHorizontalExtent(ListHorizontalExtent);
    restoreWindowState();
    InterceptWindowKeys(this, [this](QKeyEvent* event) { return handleKey(event); });

    listenToAnnouncements();
}

frmPellory::~frmPellory() = default;

void frmPellory::listenToAnnouncements() {
    Announcer& announcer = Announcements();
    // The settings window announces a change of the Database setting the same way.
    bookWatch_ = new BookWatch(this);
    bookWatch_->Watch(Settings().Database);
    connect(&BookChangeAnnouncer(), &BookChanges::changed, this, [this] {
        bookWatch_->Watch(Settings().Database);
        RefreshTree();
    });
    connect(&announcer, &Announcer::lineLogged, this, [this](const QString& line) {
        LIST_Transaction->addItem(line);
        LIST_Transaction->setCurrentRow(LIST_Transaction->count() - 1);
    });
    connect(&announcer, &Announcer::logReloaded, this, [this](const QStringList& lines) {
        LIST_Transaction->clear();
        LIST_Transaction->addItems(lines);
        if (LIST_Transaction->count() > 0)
            LIST_Transaction->setCurrentRow(LIST_Transaction->count() - 1);
    });
}

void frmPellory::buildControls() {
    auto* client = new QWidget(this);
    auto* layout = new QHBoxLayout(client);
    layout->setContentsMargins(4, 4, 4, 4);
    SPLIT_Main = new QSplitter(Qt::Horizontal, client);
    SPLIT_Main->setObjectName(QStringLiteral("SPLIT_Main"));
    SPLIT_Main->setChildrenCollapsible(false);
    SPLIT_Main->addWidget(buildTreeSide());
    SPLIT_Main->addWidget(buildLogSide());
    // Extra width goes to both sides alike; the user may move the divider.
    SPLIT_Main->setStretchFactor(0, 1);
    SPLIT_Main->setStretchFactor(1, 1);
    SPLIT_Main->setSizes({DesignTreeWidth, DesignListWidth});
    layout->addWidget(SPLIT_Main);
    setCentralWidget(client);
    // The tree has the keys when the window opens; the find box is a Ctrl+F or Tab away.
    TreeView1->setFocus();
}

QWidget* frmPellory::buildTreeSide() {
    auto* side = new QWidget;
    auto* column = new QVBoxLayout(side);
    column->setContentsMargins(0, 0, 0, 0);
    TEXT_Find = new QLineEdit(side);
    TEXT_Find->setObjectName(QStringLiteral("TEXT_Find"));
    TEXT_Find->setPlaceholderText(QStringLiteral("Find a customer by number or name (Ctrl+F)"));
    TEXT_Find->setClearButtonEnabled(true);
    connect(TEXT_Find, &QLineEdit::textChanged, this, [this] { applyFind(); });
    connect(TEXT_Find, &QLineEdit::returnPressed, this, [this] { leaveFind(false); });
    column->addWidget(TEXT_Find);

    TreeView1 = new QTreeWidget(side);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setHeaderHidden(true);
    TreeView1->setExpandsOnDoubleClick(false);
    TreeView1->setContextMenuPolicy(Qt::PreventContextMenu);
    treeViewport_ = TreeView1->viewport();
    treeViewport_->installEventFilter(this);
    connect(TreeView1, &QTreeWidget::itemDoubleClicked, this, [this] { nodeDoubleClicked(); });
    connect(TreeView1, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem* node) { folderExpanded(node); });
    column->addWidget(TreeView1);
    return side;
}

QWidget* frmPellory::buildLogSide() {
    auto* side = new QWidget;
    auto* column = new QVBoxLayout(side);
    column->setContentsMargins(0, 0, 0, 0);
    LABEL_Transaction = new QLabel(QStringLiteral("Transaction Log"), side);
    LABEL_Transaction->setObjectName(QStringLiteral("LABEL_Transaction"));
    // As tall as the find box beside it, so the list and the tree start level.
    LABEL_Transaction->setMinimumHeight(TEXT_Find->sizeHint().height());
    column->addWidget(LABEL_Transaction);
    LIST_Transaction = new TransactionList(side);
    LIST_Transaction->setObjectName(QStringLiteral("LIST_Transaction"));
    connect(LIST_Transaction, &TransactionList::listDoubleClicked, this,
            [this] { showTransactionLine(); });
    column->addWidget(LIST_Transaction);
    return side;
}

void frmPellory::buildStatusBar() {
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    for (QLabel*& panel : StatusPanels) {
        panel = new QLabel(this);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setContentsMargins(4, 0, 4, 0);
    }
    StatusPanels[1]->setText(QStringLiteral("About"));
    StatusPanels[1]->setCursor(Qt::PointingHandCursor);
    StatusPanels[1]->installEventFilter(this);
    statusBar()->addWidget(StatusPanels[0], 1);
    for (int i = 1; i < 4; ++i)
        statusBar()->addPermanentWidget(StatusPanels[i]);
    clock_ = new QTimer(this);
    connect(clock_, &QTimer::timeout, this, [this] { showClock(); });
    clock_->start(1000);
    showClock();
}

void frmPellory::showClock() {
    const QDateTime now = QDateTime::currentDateTime();
    StatusPanels[2]->setText(FormatShortDate(now.date()));
    StatusPanels[3]->setText(QLocale::system().toString(now.time(), QLocale::ShortFormat));
}

// The caption names the book the tree shows, so that a book opened in place of a vanished one
// is never taken for the user's own.
void frmPellory::showOpenBook() {
    const QString title = ProgramTitle + ' ' + QStringLiteral(PELLORY_VERSION);
    const QString& book = Settings().Database;
    setWindowTitle(book.isEmpty() ? title : title + " - " + book);
}

void frmPellory::setStatus(const QString& text) {
    StatusPanels[0]->setText(text);
}

void frmPellory::restoreWindowState() {
    switch (ReadMainWindowState()) {
    case MainWindowState::Normal:
        setWindowState(Qt::WindowNoState);
        break;
    case MainWindowState::Minimized:
        setWindowState(Qt::WindowMinimized);
        break;
    case MainWindowState::Maximized:
        setWindowState(Qt::WindowMaximized);
        break;
    }
}

void frmPellory::saveWindowState() {
    const MainWindowState state = isMinimized()   ? MainWindowState::Minimized
                                  : isMaximized() ? MainWindowState::Maximized
                                                  : MainWindowState::Normal;
    // A store that cannot be written is told once, at start.
    (void)StoreMainWindowState(state);
}

void frmPellory::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    LoadOnFirstShow(this, Activated, [this] { RefreshTree(); });
}

void frmPellory::closeEvent(QCloseEvent* event) {
    Activated = false;
    saveWindowState();
    event->accept();
    QCoreApplication::quit();
}

bool frmPellory::eventFilter(QObject* watched, QEvent* event) {
    if (watched == StatusPanels[1] && event->type() == QEvent::MouseButtonRelease) {
        openAbout();
    } else if (watched == treeViewport_ && (event->type() == QEvent::MouseButtonPress ||
                                            event->type() == QEvent::MouseButtonRelease)) {
        // The popup menu works on the selected node: the right button never changes it.
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::RightButton)
            return false;
        if (event->type() == QEvent::MouseButtonRelease)
            showPopupMenu(mouse->globalPosition().toPoint());
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool frmPellory::handleKey(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (event->matches(QKeySequence::Find)) {
        TEXT_Find->setFocus(Qt::ShortcutFocusReason);
        TEXT_Find->selectAll();
        return true;
    }
    if (TEXT_Find->hasFocus() && event->key() == Qt::Key_Escape) {
        leaveFind(true);
        return true;
    }
    if (TEXT_Find->hasFocus() && event->key() == Qt::Key_Down && modifiers == Qt::NoModifier) {
        leaveFind(false);
        return true;
    }
    // The keyboard's ways to a popup menu, on the tree only: other controls keep their own.
    if (TreeView1->hasFocus() &&
        (event->key() == Qt::Key_Menu ||
         (event->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier))) {
        showPopupMenuAtCurrentNode();
        return true;
    }
    switch (event->key()) {
    case Qt::Key_Escape:
        close();
        return true;
    case Qt::Key_F2:
        openHelp();
        return true;
    default:
        return Toolbar1->clickByAltLetter(event);
    }
}

QString frmPellory::HelpDocumentPath() {
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return SharedFile(program + QStringLiteral(".htm"));
}

// A missing document or one without a handler is not reported.
void frmPellory::openHelp() {
    QDesktopServices::openUrl(QUrl::fromLocalFile(HelpDocumentPath()));
}

void frmPellory::showTransactionLine() {
    if (LIST_Transaction->count() == 0 || !LIST_Transaction->currentItem())
        return;
    ShowMessage(this, LIST_Transaction->currentItem()->text(), QMessageBox::Information);
}
