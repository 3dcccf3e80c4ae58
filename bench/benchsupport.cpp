#include "benchsupport.h"

#include "modExcel.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QTreeWidget>
#include <vector>

namespace {
long StatusFileKilobytes(const QString& path, const char* name) {
    QFile status(path);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(name))
            return line.mid(qstrlen(name) + 1).trimmed().split(' ').first().toLong();
    return -1;
}
} // namespace

long StatusKilobytes(const char* name) {
    return StatusFileKilobytes(QStringLiteral("/proc/self/status"), name);
}

long StatusKilobytes(const char* name, qint64 pid) {
    return StatusFileKilobytes(QStringLiteral("/proc/%1/status").arg(pid), name);
}

bool ResetPeakMemory() {
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}

int CountNodes(const QTreeWidget* tree) {
    int count = 0;
    std::vector<const QTreeWidgetItem*> open;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        open.push_back(tree->topLevelItem(i));
    while (!open.empty()) {
        const QTreeWidgetItem* node = open.back();
        open.pop_back();
        ++count;
        for (int i = 0; i < node->childCount(); ++i)
            open.push_back(node->child(i));
    }
    return count;
}

std::optional<OfficeTimes> TimeColdThenWarm(const std::function<bool()>& job) {
    xlsEnd_Office();
    OfficeTimes times;
    QElapsedTimer clock;
    clock.start();
    if (!job())
        return std::nullopt;
    times.cold = clock.restart();
    if (!job())
        return std::nullopt;
    times.warm = clock.elapsed();
    return times;
}
