#include "bookchanges.h"

#include "modDAO.h"

#include <QTimer>

namespace {
bool queued = false;

// A listener opens the book itself, which a session still open would refuse: the announcement
// waits for it to close.
void deliver() {
    if (!ConnectedPath().isEmpty()) {
        QTimer::singleShot(10, &BookChangeAnnouncer(), deliver);
        return;
    }
    queued = false;
    emit BookChangeAnnouncer().changed();
}
} // namespace

BookChanges& BookChangeAnnouncer() {
    static BookChanges announcer;
    return announcer;
}

void AnnounceBookChanged() {
    if (queued)
        return;
    queued = true;
    QTimer::singleShot(0, &BookChangeAnnouncer(), deliver);
}
