#include "windowparts.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

QToolBar* BuildToolbar(QWidget* window, const std::vector<ToolButton>& buttons,
                       std::function<void(const QString& tag)> onCommand) {
    auto* toolbar = new QToolBar(window);
    toolbar->setObjectName(QStringLiteral("Toolbar1"));
    toolbar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    for (const ToolButton& button : buttons) {
        if (button.caption.isEmpty()) {
            toolbar->addSeparator();
            continue;
        }
        QAction* action = toolbar->addAction(button.caption);
        action->setData(button.tag);
        action->setToolTip(button.tooltip);
        // A toolbar button has no mnemonic of its own; the window-wide shortcut stands in,
        // and a disabled action ignores it.
        action->setShortcut(QKeySequence::mnemonic(button.caption));
        action->setShortcutContext(Qt::WindowShortcut);
        QObject::connect(action, &QAction::triggered, window,
                         [onCommand, tag = button.tag] { onCommand(tag); });
    }
    return toolbar;
}

QAction* ToolbarButton(QToolBar* toolbar, int position) {
    const QList<QAction*> actions = toolbar->actions();
    if (position < 1 || position > actions.size())
        return nullptr;
    return actions[position - 1];
}

QLabel* BuildHelpStrip(QWidget* window, const QString& text) {
    auto* strip = new QWidget(window);
    strip->setObjectName(QStringLiteral("PICTURE_Help"));
    strip->setAutoFillBackground(true);
    strip->setBackgroundRole(QPalette::Base);
    auto* layout = new QHBoxLayout(strip);
    auto* image = new QLabel(strip);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(
        QApplication::style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    auto* label = new QLabel(text, strip);
    label->setObjectName(QStringLiteral("LABEL_Help"));
    label->setWordWrap(true);
    layout->addWidget(image);
    layout->addWidget(label, 1);
    return label;
}

namespace {
class SelectAllFilter : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) {
            // After the focus event, or the mouse click that gave the focus clears it again.
            auto* field = static_cast<QLineEdit*>(watched);
            QTimer::singleShot(0, field, &QLineEdit::selectAll);
        }
        return false;
    }
};
} // namespace

void SelectAllOnFocus(QLineEdit* field) {
    field->installEventFilter(new SelectAllFilter(field));
}

void ShowAsEntryField(QWidget* field, bool entry) {
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base,
                     QApplication::palette().color(entry ? QPalette::Base : QPalette::Button));
    field->setPalette(palette);
}
