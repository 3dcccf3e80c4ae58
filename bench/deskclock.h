#pragma once

// What the desk program and the desks benchmark share: the line stream they talk over, and one
// clock both read, so a time written by one desk compares with a time read by another process.

#include <QTextStream>
#include <chrono>

inline QTextStream& out() {
    static QTextStream stream(stdout);
    return stream;
}

inline qint64 epochMicroseconds() {
    using namespace std::chrono;
    return duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
}
