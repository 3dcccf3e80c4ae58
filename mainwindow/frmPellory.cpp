#include "frmPellory.h"

#include "announcer.h"
#include "formats.h"
#include "modRegEdit.h"
#include "paths.h"
#include "prompts.h"
#include "settings.h"
#include "settingvalues.h"
#include "transactionlist.h"
#include "windowkeys.h"
#include "windowparts.h"
#include "windowtoolbar.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>

namespace {
// Design positions inside the window's client area; the resize rule keeps their margins.
constexpr QSize DesignClientSize(792, 480);
constexpr QRect DesignTree(4, 4, 392, 472);
constexpr QRect DesignLabel(404, 4, 384, 18);
constexpr QRect DesignList(404, 24, 384, 452);
constexpr int ListHorizontalExtent = 500;

enum StoredWindowState { Normal = 0, Minimized = 1, Maximized = 2 };
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
    recordLayoutMargins();
    resize(DesignClientSize + QSize(0, 90)); // the normal size, with toolbar and status bar
    LIST_Transaction->setHorizontalExtent(ListHorizontalExtent);
    restoreWindowState();
    InterceptWindowKeys(this, [this](QKeyEvent* event) { return handleKey(event); });

    listenToAnnouncements();
}

frmPellory::~frmPellory() = default;

void frmPellory::listenToAnnouncements() {
    Announcer& announcer = Announcements();
    connect(&announcer, &Announcer::treeRefreshRequested, this, [this] { RefreshTree(); });
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
    client->resize(DesignClientSize);
    TreeView1 = new QTreeWidget(client);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setHeaderHidden(true);
    TreeView1->setExpandsOnDoubleClick(false);
    TreeView1->setContextMenuPolicy(Qt::PreventContextMenu);
    TreeView1->setGeometry(DesignTree);
    treeViewport_ = TreeView1->viewport();
    treeViewport_->installEventFilter(this);
    connect(TreeView1, &QTreeWidget::itemDoubleClicked, this, [this] { nodeDoubleClicked(); });

    LABEL_Transaction = new QLabel(QStringLiteral("Transaction Log"), client);
    LABEL_Transaction->setObjectName(QStringLiteral("LABEL_Transaction"));
    LABEL_Transaction->setGeometry(DesignLabel);
    LIST_Transaction = new TransactionList(client);
    LIST_Transaction->setObjectName(QStringLiteral("LIST_Transaction"));
    LIST_Transaction->setGeometry(DesignList);
    connect(LIST_Transaction, &TransactionList::listDoubleClicked, this,
            [this] { showTransactionLine(); });
    setCentralWidget(client);
    client->installEventFilter(this);
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

// The margins: client width - tree width; client height - tree height; client width - list
// left edge; client height - list height.
void frmPellory::recordLayoutMargins() {
    const QSize client = centralWidget()->size();
    margins_ = {client.width() - TreeView1->width(), client.height() - TreeView1->height(),
                client.width() - LIST_Transaction->x(),
                client.height() - LIST_Transaction->height()};
}

// Each setting is applied on its own; one that would come out negative is skipped.
void frmPellory::layoutControls() {
    const QSize client = centralWidget()->size();
    if (const int width = client.width() - margins_[0]; width >= 0)
        TreeView1->resize(width, TreeView1->height());
    if (const int height = client.height() - margins_[1]; height >= 0)
        TreeView1->resize(TreeView1->width(), height);
    if (const int left = client.width() - margins_[2]; left >= 0) {
        LIST_Transaction->move(left, LIST_Transaction->y());
        LABEL_Transaction->move(left, LABEL_Transaction->y());
    }
    if (const int height = client.height() - margins_[3]; height >= 0)
        LIST_Transaction->resize(LIST_Transaction->width(), height);
}

void frmPellory::restoreWindowState() {
    const QVariant stored =
        regGet_KeyValue(HKEY_LOCAL_MACHINE, MainSettingsKey, setting::MainWindowSize, Maximized);
    switch (stored.toInt()) {
    case Normal:
        setWindowState(Qt::WindowNoState);
        break;
    case Minimized:
        setWindowState(Qt::WindowMinimized);
        break;
    default:
        setWindowState(Qt::WindowMaximized);
        break;
    }
}

void frmPellory::saveWindowState() {
    const int state = isMinimized() ? Minimized : isMaximized() ? Maximized : Normal;
    regSet_KeyValue(HKEY_LOCAL_MACHINE, MainSettingsKey, setting::MainWindowSize, state);
}

void frmPellory::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    LoadOnFirstShow(this, activated_, [this] { RefreshTree(); });
}

void frmPellory::closeEvent(QCloseEvent* event) {
    activated_ = false;
    saveWindowState();
    event->accept();
    QCoreApplication::quit();
}

bool frmPellory::eventFilter(QObject* watched, QEvent* event) {
    if (watched == centralWidget() && event->type() == QEvent::Resize) {
        layoutControls();
    } else if (watched == StatusPanels[1] && event->type() == QEvent::MouseButtonRelease) {
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
