#include "booktesting.h"

#include "modRegEdit.h"
#include "paths.h"

#include <QDir>
#include <QFile>

namespace {
QTemporaryDir& settingsFolder() {
    static QTemporaryDir folder;
    return folder;
}
} // namespace

void PrepareTestEnvironment() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("LANG", "en_US.UTF-8");
    qputenv("LC_ALL", "en_US.UTF-8");
    qputenv("XDG_CONFIG_HOME", settingsFolder().path().toUtf8());
}

void ClearSettingsStore() {
    QFile::remove(SettingsFilePath());
}

ProgramFolderFixture::ProgramFolderFixture() {
    QFile::copy(QStringLiteral(PELLORY_BUILT_PROGRAM_FOLDER "/pellory.mdb"), database());
    QFile(database()).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
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
