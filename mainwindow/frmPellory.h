#pragma once

#include <QMainWindow>

class QListWidget;
class QTreeWidget;
class QToolBar;
class QLabel;

// The main window: the account and invoice tree, the transaction log, the toolbar and the
// status bar. Closing it ends the program.
class frmPellory : public QMainWindow {
    Q_OBJECT
public:
    explicit frmPellory(QWidget* parent = nullptr);
    ~frmPellory() override;

    void RefreshTree();

    QToolBar* Toolbar1 = nullptr;
    QTreeWidget* TreeView1 = nullptr;
    QLabel* LABEL_Transaction = nullptr;
    QListWidget* LIST_Transaction = nullptr;
};
