#pragma once

#include "dialect.h"

#include <QSqlDatabase>
#include <QString>

// A connection to a book beside the data layer's one, for work that reads or writes a book
// without disturbing the data layer: copies, upkeep, moving a book. A file opens through its URI
// (a missing file is an error, never a new empty database) with a busy timeout; a server book
// through its connection URI, its password from the client library's own files. The connection
// is removed when this goes; queries on it must go first.
class OwnConnection {
  public:
    OwnConnection(const QString& name, const QString& book, bool readOnly, int busyMs);
    ~OwnConnection();
    OwnConnection(const OwnConnection&) = delete;
    OwnConnection& operator=(const OwnConnection&) = delete;

    bool isOpen() const { return number_ == 0; }
    // Why it did not open: the engine's error number and its words.
    qint32 number() const { return number_; }
    const QString& description() const { return description_; }

    QSqlDatabase& db() { return db_; }
    sql::Dialect dialect() const { return dialect_; }

  private:
    QString name_;
    QSqlDatabase db_;
    sql::Dialect dialect_;
    qint32 number_ = 0;
    QString description_;
};
