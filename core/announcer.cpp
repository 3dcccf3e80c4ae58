#include "announcer.h"

Announcer& Announcements() {
    static Announcer announcer;
    return announcer;
}

void Announcer::announceLine(const QString& line) {
    listed_ << line;
    emit lineLogged(line);
}

void Announcer::announceReload(const QStringList& lines) {
    listed_ = lines;
    emit logReloaded(lines);
}
