#include "filewrites.h"

#include <QFile>
#include <QFileInfo>
#include <QUuid>
#include <cstdio>

bool WriteBeside(const QString& target, const std::function<bool(const QString& scratch)>& write) {
    const QFileInfo info(target);
    const QString scratch = info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                            QStringLiteral(".") + QUuid::createUuid().toString(QUuid::Id128);
    // rename() replaces the target in one step, where QFile::rename refuses an existing one.
    const bool replaced =
        write(scratch) && std::rename(QFile::encodeName(scratch).constData(),
                                      QFile::encodeName(info.absoluteFilePath()).constData()) == 0;
    if (!replaced)
        QFile::remove(scratch);
    return replaced;
}

bool CopyWhole(const QString& source, const QString& target) {
    return WriteBeside(target,
                       [&](const QString& scratch) { return QFile::copy(source, scratch); });
}
