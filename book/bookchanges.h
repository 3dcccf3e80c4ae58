#pragma once

#include <QObject>

// Says that what the book holds has changed: a transaction committed, or another book is now in
// use. Listeners (the main window's tree, open balance windows) read the book anew instead of
// being called by hand from every window that saves.
class BookChanges : public QObject {
    Q_OBJECT
  signals:
    // Heard once the event loop runs again after the change, with no book session open, so a
    // listener may open the book itself; several changes in a row are heard once.
    void changed();
};

BookChanges& BookChangeAnnouncer();

// Queues the announcement; nothing is heard before the caller has returned to the event loop.
void AnnounceBookChanged();
