#pragma once

#include <QString>
#include <functional>

class QWidget;

// Runs work on the book of the settings in force, under the busy pointer, and closes the book
// again before anything is shown. When the book cannot be opened the user is told, with failure
// followed by the data layer's message, and false comes back.
bool WorkOnBook(QWidget* owner, const QString& failure, const std::function<void()>& work);
