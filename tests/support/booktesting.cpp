#include "booktesting.h"

#include "blankbook.h"
#include "modRegEdit.h"
#include "paths.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QUrlQuery>
#include <QUuid>

namespace {
QTemporaryDir& settingsFolder() {
    static QTemporaryDir folder;
    return folder;
}

// The server a server run was started against: postgresql:///postgres?host=...&user=...
QUrl testServer() {
    return QUrl(qEnvironmentVariable("PELLORY_TEST_SERVER"));
}

// The database named in the server's URI, which fixtures create and drop theirs from.
QString serverMaintenanceDatabase() {
    const QString name = testServer().path().mid(1);
    return name.isEmpty() ? QStringLiteral("postgres") : name;
}

// Runs statements, in order, in one database on the test server, up to the first that fails.
// Empty when all ran, otherwise what went wrong.
QString runOnServer(const QString& database, const QStringList& statements) {
    const QUrl server = testServer();
    const QUrlQuery options(server);
    const QString connection = QStringLiteral("pellory_test_server");
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection);
        db.setHostName(options.queryItemValue(QStringLiteral("host"), QUrl::FullyDecoded));
        db.setUserName(options.queryItemValue(QStringLiteral("user"), QUrl::FullyDecoded));
        if (server.port() != -1)
            db.setPort(server.port());
        db.setDatabaseName(database);
        if (!db.open())
            error = db.lastError().text();
        for (const QString& statement : statements) {
            if (!error.isEmpty())
                break;
            QSqlQuery query(db);
            if (!query.exec(statement))
                error = statement + QStringLiteral(": ") + query.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return error.isEmpty() ? error : server.toString() + QStringLiteral(": ") + error;
}
} // namespace

bool OnServerBook() {
    return qEnvironmentVariableIsSet("PELLORY_TEST_SERVER");
}

void PrepareTestEnvironment() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("LANG", "en_US.UTF-8");
    qputenv("LC_ALL", "en_US.UTF-8");
    qputenv("XDG_CONFIG_HOME", settingsFolder().path().toUtf8());
}

void ClearSettingsStore() {
    QFile::remove(SettingsFilePath());
}

ServerDatabase::ServerDatabase()
    : name_(QStringLiteral("pellory_t_") +
            QString::fromLatin1(QUuid::createUuid().toByteArray(QUuid::Id128))) {
    const QString error =
        runOnServer(serverMaintenanceDatabase(), {QStringLiteral("CREATE DATABASE ") + name_});
    // A test on a database that is not there would mean nothing.
    if (!error.isEmpty())
        qFatal("Could not make a test database on the server: %s", qPrintable(error));
}

ServerDatabase::~ServerDatabase() {
    // FORCE: a case that ends early may leave the data layer's connection open.
    const QString error =
        runOnServer(serverMaintenanceDatabase(),
                    {QStringLiteral("DROP DATABASE ") + name_ + QStringLiteral(" WITH (FORCE)")});
    if (!error.isEmpty())
        qWarning("Could not drop the test database %s: %s", qPrintable(name_), qPrintable(error));
}

QString ServerDatabase::uri() const {
    return QStringLiteral("postgresql:///") + name_ + QLatin1Char('?') +
           testServer().query(QUrl::FullyEncoded);
}

QString ServerDatabase::run(const QStringList& statements) const {
    return runOnServer(name_, statements);
}

ProgramFolderFixture::ProgramFolderFixture() {
    if (OnServerBook()) {
        server_ = std::make_unique<ServerDatabase>();
        // A test on a half-made book would mean nothing.
        if (const QString error = server_->run(ScriptStatements(ServerTablesScript()));
            !error.isEmpty())
            qFatal("Could not make a test book on the server: %s", qPrintable(error));
        database_ = server_->uri();
    } else {
        database_ = file(QStringLiteral("pellory.mdb"));
        QFile::copy(QStringLiteral(PELLORY_BUILT_PROGRAM_FOLDER "/pellory.mdb"), database_);
        QFile(database_).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    }
    QDir(path()).mkdir(QStringLiteral("backup"));
    SetProgramFolder(path());
    ClearSettingsStore();
}

ProgramFolderFixture::~ProgramFolderFixture() {
    SetProgramFolder(QString());
}

bool DamageMiddlePages(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    const QByteArray header = file.read(18);
    if (header.size() < 18)
        return false;
    // The page size is stored big-endian at offset 16; 1 stands for 65536.
    const int stored = (quint8(header[16]) << 8) | quint8(header[17]);
    const qint64 pageSize = stored == 1 ? 65536 : stored;
    const qint64 pages = file.size() / pageSize;
    if (pageSize < 512 || pages < 6)
        return false;
    const QByteArray garbage(int(pageSize), char(0xA5));
    for (qint64 page = pages / 3; page < 2 * pages / 3; ++page)
        if (!file.seek(page * pageSize) || file.write(garbage) != pageSize)
            return false;
    return file.flush();
}
