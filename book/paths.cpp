#include "paths.h"

#include <QCoreApplication>

namespace {
QString& overriddenFolder() {
    static QString folder;
    return folder;
}
} // namespace

QString ProgramFolder() {
    if (!overriddenFolder().isEmpty())
        return overriddenFolder();
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

std::optional<QString> ExtractFileName(const QString& path) {
    const qsizetype cut = std::max(path.lastIndexOf('/'), path.lastIndexOf('\\'));
    if (cut < 0)
        return std::nullopt;
    return path.mid(cut + 1);
}
