#pragma once

#include <functional>

class QListWidget;

// What other windows may reach of the main window: its tree rebuild and its transaction list.
// The main window registers both when it opens and clears them when it closes.
struct MainWindowLink {
    std::function<void()> refreshTree;
    QListWidget* transactionList = nullptr;
};

MainWindowLink& MainWindow();

// Asks the main window, when there is one, to rebuild its tree from the database.
void RefreshTree();
