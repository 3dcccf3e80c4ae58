#pragma once

#include <QString>

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
