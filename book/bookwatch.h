#pragma once

#include <QObject>
#include <QSqlDriver>
#include <QTimer>

// Hears the other desks' saves on a server book and announces them as changes of the book, so
// that every program open on it shows them at once. It listens on a connection of its own, which
// the book's pieces of work never open or close. A file book has no other desks and is not
// watched. A lost connection is tried again every few seconds, silently: the desk still works,
// it only stops hearing the others until the server is back.
class BookWatch : public QObject {
    Q_OBJECT
  public:
    explicit BookWatch(QObject* parent = nullptr);
    ~BookWatch() override;

    // Watches book from now on instead of the one watched so far; the same book again changes
    // nothing.
    void Watch(const QString& book);
    // True while the other desks' saves are heard.
    bool Listening() const;

  private:
    void listen();
    void stopListening();
    void check();
    int listeningProcess() const;
    void heard(const QString& channel, QSqlDriver::NotificationSource source,
               const QVariant& payload);

    QString book_;
    const QString connectionName_;
    QTimer check_;
    // The connection was lost once: what was missed meanwhile is read anew when it is back.
    bool missed_ = false;
    int process_ = 0; // the server process listening for us
};
