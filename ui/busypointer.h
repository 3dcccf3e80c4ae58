#pragma once

#include <QApplication>

// Shows a pointer shape over the whole program while it lives, or until released. Shapes
// nest: each one restores exactly what it set, never the pointers of others.
class OverridePointer {
  public:
    explicit OverridePointer(Qt::CursorShape shape) { QApplication::setOverrideCursor(shape); }
    ~OverridePointer() { release(); }
    OverridePointer(const OverridePointer&) = delete;
    OverridePointer& operator=(const OverridePointer&) = delete;

    void release() {
        if (active_)
            QApplication::restoreOverrideCursor();
        active_ = false;
    }

  private:
    bool active_ = true;
};

// The busy pointer, for work the user waits on.
class BusyPointer : public OverridePointer {
  public:
    BusyPointer() : OverridePointer(Qt::WaitCursor) {}
};
