#pragma once

#include <QString>
#include <functional>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QToolBar;
class QWidget;

// Pieces every window of the programs is built from.

// One toolbar button; an empty caption makes a separator.
struct ToolButton {
    QString caption; // "Clos&e": the underlined letter with Alt clicks the button when enabled
    QString tag;     // what the command dispatch compares
    QString tooltip;
};

// A toolbar whose buttons call onCommand with their tag.
QToolBar* BuildToolbar(QWidget* window, const std::vector<ToolButton>& buttons,
                       std::function<void(const QString& tag)> onCommand);

// The button at a 1-based position, separators counted; null when there is none.
QAction* ToolbarButton(QToolBar* toolbar, int position);

// The first button of every dialog window.
inline ToolButton CloseButton() {
    return {QStringLiteral("Clos&e"), QStringLiteral("Cancel"), QStringLiteral("Close")};
}

// The help strip at the top of a window: an icon and a fixed sentence. Returns LABEL_Help.
QLabel* BuildHelpStrip(QWidget* window, const QString& text);

// The field selects its whole text whenever it receives the focus.
void SelectAllOnFocus(QLineEdit* field);

// Entry fields look like buttons until there is something to enter, then like fields.
void ShowAsEntryField(QWidget* field, bool entry);
