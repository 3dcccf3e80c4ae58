#include "modCommand.h"

#include "announcer.h"
#include "formats.h"
#include "paths.h"
#include "settings.h"

#include <QDateTime>
#include <QFile>
#include <QSaveFile>
#include <QStringList>

namespace {
// Lines of a text file, without their line ends; none when the file cannot be read.
std::optional<QStringList> readLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QStringList lines;
    while (!file.atEnd()) {
        QString line = QString::fromUtf8(file.readLine());
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        if (!line.isEmpty())
            lines << line;
    }
    return lines;
}

QByteArray asFileLine(const QString& text) {
    return text.toUtf8() + "\r\n";
}
} // namespace

QString LogFilePath() {
    QString path = Settings().Database;
    path.chop(3);
    return path + "log";
}

void LogTransaction(const QString& message) {
    if (message.isEmpty()) {
        Announcements().announceReload(readLines(LogFilePath()).value_or(QStringList()));
        return;
    }
    const QString path = LogFilePath();
    if (Settings().TransactionLog != 1)
        return;
    const QString line = FormatGeneralDate(QDateTime::currentDateTime()) + ", " + message;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        file.write(asFileLine(line));
    Announcements().announceLine(line);
}

QString UnitDescriptionFilePath() {
    return ProgramFile(QStringLiteral("pellory.des"));
}

std::optional<QStringList> LoadUnitDescriptions() {
    return readLines(UnitDescriptionFilePath());
}

void SaveUnitDescriptions(const QStringList& descriptions) {
    if (descriptions.isEmpty()) {
        QFile::remove(UnitDescriptionFilePath());
        return;
    }
    // Written whole or not at all, so a failed save never leaves half a list.
    QSaveFile file(UnitDescriptionFilePath());
    if (!file.open(QIODevice::WriteOnly))
        return;
    for (const QString& description : descriptions)
        file.write(asFileLine(description));
    file.commit();
}
