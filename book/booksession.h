#pragma once

#include "result.h"

#include <QString>

// Who opens the book: the caller. Every operation of the book works on the connection a
// BookSession of its caller holds and never opens one of its own, so one piece of work reads
// one book in one state and nothing in an operation's type has to say which it does.
//
// The book opened for one piece of work and closed when the session ends, however it ends.
// A session asked for while another is open is refused: it never closes the outer connection.
class BookSession {
  public:
    explicit BookSession(const QString& path, bool readOnly = false);
    ~BookSession();
    BookSession(const BookSession&) = delete;
    BookSession& operator=(const BookSession&) = delete;

    bool isOpen() const { return result_ == 0; }
    // The data layer's result and message of the open.
    qint32 result() const { return result_; }
    const QString& error() const { return error_; }

  private:
    qint32 result_ = -1;
    QString error_;
};

// One transaction on the open book: BEGIN IMMEDIATE at construction, rolled back at the end
// unless committed. A failed commit is rolled back too. A commit that lands announces that the
// book changed.
class BookTransaction {
  public:
    BookTransaction();
    ~BookTransaction();
    BookTransaction(const BookTransaction&) = delete;
    BookTransaction& operator=(const BookTransaction&) = delete;

    bool begun() const { return result_ == 0; }
    qint32 result() const { return result_; }
    const QString& error() const { return error_; }
    // Done once the work has landed; otherwise the engine's error.
    Outcome commit();

  private:
    qint32 result_ = -1;
    QString error_;
    bool open_ = false;
};

// The database engine's version, asked of the book at path through the data layer; "unknown"
// when the book cannot be opened.
QString EngineVersion(const QString& path);
