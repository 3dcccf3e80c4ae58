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
