#pragma once

#include <QToolBar>

class QKeyEvent;

// A window's toolbar: buttons with a caption (an "&" marks the Alt letter), a tag and a tooltip.
// A click reports the button's tag; the window dispatches on it.
class WindowToolbar : public QToolBar {
    Q_OBJECT
  public:
    explicit WindowToolbar(QWidget* parent);

    QAction* addButton(const QString& caption, const QString& tag, const QString& tooltip,
                       const QIcon& icon = QIcon());
    // The button with this tag; null when there is none.
    QAction* button(const QString& tag) const;

    // Alt alone with the underlined letter of an enabled button clicks it; true when one was.
    bool clickByAltLetter(const QKeyEvent* event);

  signals:
    void commandTriggered(const QString& tag);
};

// The tag a button or menu item carries.
QString TagOf(const QAction* action);
