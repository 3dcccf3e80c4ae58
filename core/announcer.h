#pragma once

#include <QObject>
#include <QStringList>

// What the windows announce to the main window without reaching into its widgets: a line
// written to the transaction log, the log read anew, a tree to rebuild. The main window listens
// while it is open; with no listener an announcement changes nothing.
class Announcer : public QObject {
    Q_OBJECT
  public:
    // Announce, and remember what a listening window lists: the lines since the last reload.
    void announceLine(const QString& line);
    void announceReload(const QStringList& lines);
    const QStringList& listedLines() const { return listed_; }

  signals:
    void lineLogged(const QString& line);
    void logReloaded(const QStringList& lines);
    void treeRefreshRequested();

  private:
    QStringList listed_;
};

Announcer& Announcements();

// Asks the main window, when there is one, to rebuild its tree from the database.
void RefreshTree();
