#include "mainlink.h"

MainWindowLink& MainWindow() {
    static MainWindowLink link;
    return link;
}

void RefreshTree() {
    if (MainWindow().refreshTree)
        MainWindow().refreshTree();
}
