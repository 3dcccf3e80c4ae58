#include "events.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QThread>

void LetEventsRun() {
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

bool WaitLettingEventsRun(int ms, const std::function<bool()>& done) {
    constexpr int PollMs = 20;
    const QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        if (QCoreApplication::instance())
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, PollMs);
        QThread::msleep(
            static_cast<unsigned long>(std::min<qint64>(PollMs, deadline.remainingTime())));
    }
    return true;
}
