#include "officeprobe.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

namespace {
QString Run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(120'000);
    return QString::fromUtf8(process.readAllStandardOutput());
}
} // namespace

QList<int> ProcessesMentioning(const QString& text) {
    QList<int> found;
    const QDir proc(QStringLiteral("/proc"));
    for (const QString& entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool isPid = false;
        const int pid = entry.toInt(&isPid);
        QFile cmdline(proc.filePath(entry + QStringLiteral("/cmdline")));
        if (!isPid || !cmdline.open(QIODevice::ReadOnly))
            continue;
        if (QString::fromLocal8Bit(cmdline.readAll()).contains(text))
            found << pid;
    }
    return found;
}

QList<QStringList> FirstSheetCells(const QString& workbook) {
    QTemporaryDir folder;
    // Every text cell quoted, so text and numbers tell apart.
    Run(QStringLiteral("soffice"),
        {QStringLiteral("-env:UserInstallation=") +
             QUrl::fromLocalFile(folder.filePath(QStringLiteral("profile"))).toString(),
         QStringLiteral("--headless"), QStringLiteral("--convert-to"),
         QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,0,true"),
         QStringLiteral("--outdir"), folder.path(), workbook});
    QFile csv(folder.filePath(QFileInfo(workbook).completeBaseName() + QStringLiteral(".csv")));
    QList<QStringList> rows;
    if (!csv.open(QIODevice::ReadOnly))
        return rows;
    for (const QByteArray& line : csv.readAll().split('\n'))
        rows << QString::fromUtf8(line).split(',');
    return rows;
}

QMap<QString, QByteArray> SheetsAsCsv(const QString& workbook) {
    QTemporaryDir folder;
    // The last option asks for every sheet, each into a file named after the workbook and it.
    Run(QStringLiteral("soffice"),
        {QStringLiteral("-env:UserInstallation=") +
             QUrl::fromLocalFile(folder.filePath(QStringLiteral("profile"))).toString(),
         QStringLiteral("--headless"), QStringLiteral("--convert-to"),
         QStringLiteral(
             "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,true,true,true,false,false,-1"),
         QStringLiteral("--outdir"), folder.path(), workbook});
    const QString prefix = QFileInfo(workbook).completeBaseName() + QLatin1Char('-');
    QMap<QString, QByteArray> sheets;
    for (const QFileInfo& csv :
         QDir(folder.path()).entryInfoList({prefix + QStringLiteral("*.csv")})) {
        QFile file(csv.filePath());
        if (file.open(QIODevice::ReadOnly))
            sheets.insert(csv.completeBaseName().mid(prefix.size()), file.readAll());
    }
    return sheets;
}

QStringList PdfPages(const QString& pdf) {
    QStringList pages =
        Run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")})
            .split('\f');
    if (!pages.isEmpty() && pages.back().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}
