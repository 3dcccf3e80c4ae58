#pragma once

#include "events.h"

#include <QElapsedTimer>

// Lets pending events run from inside a long loop, so the window keeps painting, but no more
// often than every few milliseconds: running them after each of many thousand rows would cost
// more than the loop itself.
class EventPacer {
  public:
    EventPacer() { clock_.start(); }

    void letEventsRun() {
        if (clock_.elapsed() < IntervalMs)
            return;
        LetEventsRun();
        clock_.restart();
    }

  private:
    static constexpr qint64 IntervalMs = 20;
    QElapsedTimer clock_;
};
