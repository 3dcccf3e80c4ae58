#include "paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString& overriddenFolder() {
    static QString folder;
    return folder;
}

QString seedingError(const QString& failure, const QString& folder, const QStringList& copied) {
    return failure + QStringLiteral("; copied to ") + folder + QStringLiteral(": ") +
           (copied.isEmpty() ? QStringLiteral("nothing") : copied.join(QStringLiteral(", ")));
}

// Copies under a temporary name and renames, so an interrupted copy never leaves a half file
// that a later start would take for the user's own; the rename refuses to replace a file.
bool copyNew(const QString& source, const QString& target) {
    const QString partial = target + QStringLiteral(".seeding");
    QFile::remove(partial);
    if (!QFile::copy(source, partial))
        return false;
    // The books are the user's own business: readable by the user alone.
    QFile::setPermissions(partial, QFile::ReadOwner | QFile::WriteOwner);
    if (QFile::rename(partial, target))
        return true;
    QFile::remove(partial);
    return false;
}
} // namespace

QString InstalledSharedFolder() {
    const QDir shared(QCoreApplication::applicationDirPath() +
                      QStringLiteral("/" PELLORY_SHARED_FROM_PROGRAM));
    return shared.exists() ? shared.canonicalPath() : QString();
}

QString UserDataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/varnaby/pellory");
}

QString ProgramFolder() {
    if (!overriddenFolder().isEmpty())
        return overriddenFolder();
    if (!InstalledSharedFolder().isEmpty())
        return UserDataFolder();
    return QCoreApplication::applicationDirPath();
}

void SetProgramFolder(const QString& folder) {
    overriddenFolder() = folder;
    while (overriddenFolder().size() > 1 && overriddenFolder().endsWith('/'))
        overriddenFolder().chop(1);
}

QString ProgramFile(const QString& name) {
    return ProgramFolder() + '/' + name;
}

QString SharedFile(const QString& name) {
    const QString shared = InstalledSharedFolder();
    if (overriddenFolder().isEmpty() && !shared.isEmpty())
        return shared + '/' + name;
    return ProgramFile(name);
}

QStringList SeededFileNames() {
    return {QStringLiteral("pellory.mdb"), QStringLiteral("pellory.xls"),
            QStringLiteral("pelloryenv.xls"), QStringLiteral("pellorystmt.xls"),
            QStringLiteral("pellorylines.xls")};
}

QString SeedProgramFolder(const QString& shared, const QString& folder) {
    QStringList copied;
    if (!QDir().mkpath(folder + QStringLiteral("/backup")))
        return seedingError(QStringLiteral("Could not create ") + folder +
                                QStringLiteral("/backup"),
                            folder, copied);
    for (const QString& name : SeededFileNames()) {
        const QString target = folder + '/' + name;
        if (QFileInfo::exists(target))
            continue;
        if (!copyNew(shared + '/' + name, target))
            return seedingError(QStringLiteral("Could not copy ") + shared + '/' + name +
                                    QStringLiteral(" to ") + target,
                                folder, copied);
        copied << name;
    }
    return {};
}

QString PrepareProgramFolder() {
    const QString shared = InstalledSharedFolder();
    if (shared.isEmpty() || !overriddenFolder().isEmpty())
        return {};
    return SeedProgramFolder(shared, ProgramFolder());
}

std::optional<QString> ExtractFileName(const QString& path) {
    const qsizetype cut = std::max(path.lastIndexOf('/'), path.lastIndexOf('\\'));
    if (cut < 0)
        return std::nullopt;
    return path.mid(cut + 1);
}

bool IsServerBook(const QString& book) {
    return book.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive) ||
           book.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}
