#include "modCommand.h"

#include "formats.h"
#include "mainlink.h"
#include "paths.h"
#include "settings.h"

#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QListWidget>
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
    QListWidget* list = MainWindow().transactionList;
    if (message.isEmpty()) {
        if (!list)
            return;
        list->clear();
        if (const auto lines = readLines(LogFilePath()))
            list->addItems(*lines);
        if (list->count() > 0)
            list->setCurrentRow(list->count() - 1);
        return;
    }
    const QString path = LogFilePath();
    if (Settings().TransactionLog != 1)
        return;
    const QString line = FormatGeneralDate(QDateTime::currentDateTime()) + ", " + message;
    if (list) {
        list->addItem(line);
        list->setCurrentRow(list->count() - 1);
    }
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        file.write(asFileLine(line));
}

QString UnitDescriptionFilePath() {
    return ProgramFile(QStringLiteral("pellory.des"));
}

void LoadUnitDescriptions(QComboBox* list) {
    const auto lines = readLines(UnitDescriptionFilePath());
    if (!lines)
        return;
    list->clear();
    list->addItems(*lines);
}

void SaveUnitDescriptions(QComboBox* list) {
    if (list->count() == 0) {
        QFile::remove(UnitDescriptionFilePath());
        return;
    }
    // Written whole or not at all, so a failed save never leaves half a list.
    QSaveFile file(UnitDescriptionFilePath());
    if (!file.open(QIODevice::WriteOnly))
        return;
    for (int i = 0; i < list->count(); ++i)
        file.write(asFileLine(list->itemText(i)));
    file.commit();
}
