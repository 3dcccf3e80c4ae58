#include "windowkeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

namespace {
class KeyInterceptor : public QObject {
  public:
    KeyInterceptor(QWidget* window, std::function<bool(QKeyEvent*)> handler)
        : QObject(window), window_(window), handler_(std::move(handler)) {
        qApp->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        if (static_cast<QWidget*>(watched)->window() != window_)
            return false;
        // A key queued while the window was open may arrive after it closed: a closed window
        // takes no command.
        if (!window_->isVisible())
            return true;
        return handler_(static_cast<QKeyEvent*>(event));
    }

  private:
    QWidget* window_;
    std::function<bool(QKeyEvent*)> handler_;
};

class FocusSelector : public QObject {
  public:
    explicit FocusSelector(QLineEdit* edit) : QObject(edit), edit_(edit) {
        edit->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        // Selected after the focus change has settled: a mouse click would undo it otherwise.
        if (event->type() == QEvent::FocusIn)
            QTimer::singleShot(0, edit_, &QLineEdit::selectAll);
        return false;
    }

  private:
    QLineEdit* edit_;
};
} // namespace

void InterceptWindowKeys(QWidget* window, std::function<bool(QKeyEvent*)> handler) {
    new KeyInterceptor(window, std::move(handler));
}

bool IsAltAlone(const QKeyEvent* event) {
    return (event->modifiers() & ~Qt::KeypadModifier) == Qt::AltModifier;
}

void SelectAllOnFocus(QLineEdit* edit) {
    new FocusSelector(edit);
}
