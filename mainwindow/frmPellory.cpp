#include "frmPellory.h"

#include "mainlink.h"
#include "modCommand.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

frmPellory::frmPellory(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmPellory"));
    setWindowTitle(QStringLiteral("Pellory ") + QApplication::applicationVersion());
    Toolbar1 = addToolBar(QStringLiteral("Toolbar1"));
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));

    auto* central = new QWidget(this);
    auto* columns = new QHBoxLayout(central);
    TreeView1 = new QTreeWidget(central);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setHeaderHidden(true);
    columns->addWidget(TreeView1, 1);
    auto* logColumn = new QVBoxLayout;
    LABEL_Transaction = new QLabel(QStringLiteral("Transaction Log"), central);
    LIST_Transaction = new QListWidget(central);
    LIST_Transaction->setObjectName(QStringLiteral("LIST_Transaction"));
    logColumn->addWidget(LABEL_Transaction);
    logColumn->addWidget(LIST_Transaction);
    columns->addLayout(logColumn, 1);
    setCentralWidget(central);
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));

    MainWindow().transactionList = LIST_Transaction;
    MainWindow().refreshTree = [this] { RefreshTree(); };
    RefreshTree();
}

frmPellory::~frmPellory() {
    MainWindow() = {};
}

void frmPellory::RefreshTree() {
    LogTransaction(QString());
}
