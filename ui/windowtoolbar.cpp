#include "windowtoolbar.h"

#include "windowkeys.h"

#include <QAction>
#include <QKeyEvent>

namespace {
// The letter after the single "&" of a caption, upper case; none when there is no such letter.
QChar altLetter(const QString& caption) {
    for (qsizetype i = caption.indexOf('&'); i >= 0 && i + 1 < caption.size();
         i = caption.indexOf('&', i + 2)) {
        if (caption[i + 1] != '&')
            return caption[i + 1].toUpper();
    }
    return {};
}
} // namespace

QString TagOf(const QAction* action) {
    return action ? action->data().toString() : QString();
}

WindowToolbar::WindowToolbar(QWidget* parent) : QToolBar(parent) {
    setObjectName(QStringLiteral("Toolbar1"));
    setMovable(false);
    setFloatable(false);
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setContextMenuPolicy(Qt::PreventContextMenu);
}

QAction* WindowToolbar::addButton(const QString& caption, const QString& tag,
                                  const QString& tooltip, const QIcon& icon) {
    QAction* action = addAction(icon, caption);
    action->setData(tag);
    action->setToolTip(tooltip);
    connect(action, &QAction::triggered, this, [this, tag] { emit commandTriggered(tag); });
    return action;
}

QAction* WindowToolbar::button(const QString& tag) const {
    for (QAction* action : actions())
        if (!action->isSeparator() && TagOf(action) == tag)
            return action;
    return nullptr;
}

bool WindowToolbar::clickByAltLetter(const QKeyEvent* event) {
    if (!IsAltAlone(event) || event->key() < Qt::Key_A || event->key() > Qt::Key_Z)
        return false;
    const QChar letter = QChar('A' + (event->key() - Qt::Key_A));
    for (QAction* action : actions()) {
        if (action->isSeparator() || altLetter(action->text()) != letter)
            continue;
        if (action->isEnabled())
            action->trigger();
        return true;
    }
    return false;
}
