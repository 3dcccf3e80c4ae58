#include "announcer.h"

Announcer& Announcements() {
    static Announcer announcer;
    return announcer;
}

void RefreshTree() {
    emit Announcements().treeRefreshRequested();
}
