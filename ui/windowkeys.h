#pragma once

#include <functional>

class QKeyEvent;
class QLineEdit;
class QWidget;

// Lets a window see key presses before its controls do: the handler is offered every key press
// aimed at the window or one of its controls, and returns true when it took the key.
void InterceptWindowKeys(QWidget* window, std::function<bool(QKeyEvent*)> handler);

// Whether Alt alone is held (Shift, Ctrl or Meta with it do not count).
bool IsAltAlone(const QKeyEvent* event);

// Makes a line edit select all its text whenever it receives the focus.
void SelectAllOnFocus(QLineEdit* edit);
