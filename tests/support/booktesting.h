#pragma once

// What every suite needs, widgets or not: a program folder of its own, a settings store that
// starts empty, and the environment the suites share.

#include "result.h"

#include <QCoreApplication>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// An empty database of its own on the test server (PELLORY_TEST_SERVER), dropped again at the
// end, so no test sees another's rows.
class ServerDatabase {
  public:
    ServerDatabase();
    ~ServerDatabase();
    ServerDatabase(const ServerDatabase&) = delete;
    ServerDatabase& operator=(const ServerDatabase&) = delete;
    // Its connection URI, as the Database setting holds it.
    QString uri() const;
    const QString& name() const { return name_; }
    // Runs statements in it, in order, up to the first that fails; empty when all ran, otherwise
    // what went wrong.
    QString run(const QStringList& statements) const;

  private:
    QString name_;
};

// A program folder of its own for one test: a copy of the blank database, an empty backup
// folder, and a settings store that starts empty. On a server run (PELLORY_TEST_SERVER) the
// book is instead a new database of blank tables on that server, dropped again at the end.
class ProgramFolderFixture {
  public:
    ProgramFolderFixture();
    ~ProgramFolderFixture();
    QString path() const { return folder_.path(); }
    QString file(const QString& name) const { return folder_.filePath(name); }
    // The book's path, or its URI on a server run.
    QString database() const { return database_; }

  private:
    QTemporaryDir folder_;
    QString database_;
    std::unique_ptr<ServerDatabase> server_; // none for a file
};

// True when the suite runs against a PostgreSQL server, so cases about the book's file skip.
bool OnServerBook();

// The value of a book operation that a case counts on; a failure ends the suite with its
// message, since nothing after it would mean anything.
template <typename T> T Must(Result<T> result) {
    if (!result)
        qFatal("A book operation failed: %s", qPrintable(result.error()));
    return std::move(result).value();
}

// Empties the shared settings store.
void ClearSettingsStore();

// Overwrites the middle third of a database file's pages with garbage, as a failing disk or an
// interrupted copy would; false when the file is too small or cannot be written.
[[nodiscard]] bool DamageMiddlePages(const QString& path);

// Environment every suite shares: offscreen windows, en_US, a private settings folder.
void PrepareTestEnvironment();

// A suite of rules that needs no window system at all.
#define PELLORY_BOOK_TEST_MAIN(TestObject)                                                         \
    int main(int argc, char** argv) {                                                              \
        PrepareTestEnvironment();                                                                  \
        QCoreApplication app(argc, argv);                                                          \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
