#pragma once

#include <QString>
#include <functional>

class QLabel;
class QWidget;
class WindowToolbar;

// Pieces the dialog windows are built from.

// A toolbar whose first button is "Clos&e" and whose Alt letters click its enabled buttons;
// the window's Esc closes it as that button does.
WindowToolbar* BuildDialogToolbar(QWidget* window);

// The help strip at the top of a window: an icon and a fixed sentence. Returns LABEL_Help.
QLabel* BuildHelpStrip(QWidget* window, const QString& text);

// Entry fields look like buttons until there is something to enter, then like fields.
void ShowAsEntryField(QWidget* field, bool entry);

// Every window loads its data once, on its first showing: after the window has painted and
// pending events have run, so the user sees it while the data comes in. `activated` is the
// window's own first-showing flag; call this from its showEvent.
void LoadOnFirstShow(QWidget* window, bool& activated, std::function<void()> load);
