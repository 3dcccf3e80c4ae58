#include "benchsupport.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QTreeWidget>
#include <vector>

long StatusKilobytes(const char* name) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(name))
            return line.mid(qstrlen(name) + 1).trimmed().split(' ').first().toLong();
    return -1;
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
