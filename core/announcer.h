#pragma once

#include <QObject>
#include <QStringList>

// What the windows announce to the main window without reaching into its widgets: a line
// written to the transaction log, the log read anew (a changed book is announced by the book
// itself). The main window listens while it is open; with no listener an announcement changes
// nothing.
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

  private:
    QStringList listed_;
};

Announcer& Announcements();
