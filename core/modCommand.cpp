#include "modCommand.h"

#include "announcer.h"
#include "formats.h"
#include "paths.h"
#include "prompts.h"
#include "serveraddress.h"
#include "settings.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
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

// A log entry is one line: a line break inside a message would let it forge a dated entry.
QString asOneLine(QString message) {
    static const QRegularExpression lineBreak(
        QStringLiteral("\\r\\n|[\\r\\n\\v\\f\\x{85}\\x{2028}\\x{2029}]"));
    return message.replace(lineBreak, QStringLiteral(" "));
}

bool appendLine(const QString& path, const QString& line, QString& reason) {
    QFile file(path);
    const QByteArray bytes = asFileLine(line);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append) && file.write(bytes) == bytes.size() &&
        file.flush())
        return true;
    reason = file.errorString();
    return false;
}

// Said once per log file and run: the log stays unwritable for every later line too.
void warnLogNotWritten(const QString& path, const QString& reason, const QString& line) {
    static QSet<QString> warned;
    if (warned.contains(path))
        return;
    warned.insert(path);
    ShowMessage(nullptr,
                "WARNING: The transaction log " + path + " cannot be written (" + reason +
                    ").\n\nWhat was done stays done; only this line is missing from the log:\n" +
                    line + "\n\nLater lines that cannot be written are not reported again.",
                QMessageBox::Warning);
}
} // namespace

QString LogFilePath() {
    QString book = Settings().Database;
    // Each desk keeps the log of a shared book beside its own program, named after the database.
    if (IsServerBook(book))
        book = ProgramFile(ReadServerAddress(book).address.database + QStringLiteral(".mdb"));
    const QString name = QFileInfo(book).fileName();
    const qsizetype dot = name.lastIndexOf('.');
    // The extension is replaced; a name without one (a leading dot marks none) gets it added.
    QString path = dot > 0 ? book.left(book.size() - (name.size() - dot)) + ".log" : book + ".log";
    // A book named like its own log would have the log lines written into it.
    if (path == book)
        path += ".log";
    return path;
}

void LogTransaction(const QString& message) {
    if (message.isEmpty()) {
        Announcements().announceReload(readLines(LogFilePath()).value_or(QStringList()));
        return;
    }
    if (Settings().TransactionLog != 1)
        return;
    AppendTransactionLine(TransactionLine(QDateTime::currentDateTime(), message));
}

QString TransactionLine(const QDateTime& moment, const QString& message) {
    return FormatGeneralDate(moment) + ", " + asOneLine(message);
}

bool AppendTransactionLine(const QString& line) {
    const QString path = LogFilePath();
    QString reason;
    if (!appendLine(path, line, reason)) {
        warnLogNotWritten(path, reason, line);
        return false;
    }
    Announcements().announceLine(line);
    return true;
}

QString UnitDescriptionFilePath() {
    return ProgramFile(QStringLiteral("pellory.des"));
}

std::optional<QStringList> LoadUnitDescriptions() {
    return readLines(UnitDescriptionFilePath());
}

bool SaveUnitDescriptions(const QStringList& descriptions) {
    const QString path = UnitDescriptionFilePath();
    if (descriptions.isEmpty())
        return QFile::remove(path) || !QFile::exists(path);
    // Written whole or not at all, so a failed save never leaves half a list.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (const QString& description : descriptions)
        file.write(asFileLine(description));
    return file.commit();
}
