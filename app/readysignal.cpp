#include "readysignal.h"

#include "frmPellory.h"

#include <QAbstractEventDispatcher>
#include <QEvent>
#include <QLabel>
#include <fcntl.h>
#include <unistd.h>

namespace {
// Watches the status text paint; reports at the first wait for input after it painted "Ready".
class ReadySignal : public QObject {
  public:
    ReadySignal(frmPellory* window, int descriptor)
        : QObject(window), status_(window->StatusPanels[0]), descriptor_(descriptor) {
        status_->installEventFilter(this);
        connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
                [this] { signalIfReady(); });
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == status_ && event->type() == QEvent::Paint)
            readyPainted_ = status_->text() == QLatin1String("Ready");
        return false;
    }

  private:
    void signalIfReady() {
        if (!readyPainted_ || descriptor_ < 0)
            return;
        // A line this short goes into a pipe whole; a reader that went away is no concern here.
        [[maybe_unused]] const ssize_t written = ::write(descriptor_, "ready\n", 6);
        ::close(descriptor_);
        descriptor_ = -1;
        status_->removeEventFilter(this);
        deleteLater();
    }

    QLabel* status_;
    int descriptor_;
    bool readyPainted_ = false;
};
} // namespace

void SignalReadyWhenIdle(frmPellory* window) {
    bool number = false;
    const int descriptor = qEnvironmentVariableIntValue("PELLORY_READY_FD", &number);
    if (!number)
        return;
    // Neither the office nor anything else this program starts gets the variable or the pipe.
    qunsetenv("PELLORY_READY_FD");
    if (descriptor < 0 || ::fcntl(descriptor, F_SETFD, FD_CLOEXEC) == -1)
        return;
    new ReadySignal(window, descriptor);
}
