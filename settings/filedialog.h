#pragma once

#include <QString>

class QWidget;

// The open-file dialog of the settings window: the chosen file's full path, or empty text when
// the user cancels. Only an existing file in an existing folder is accepted. filter is the
// dialog's one entry, a description followed by its pattern, e.g. "Excel Files (*.xls)".
QString ShowFileDialog(QWidget* owner, const QString& title, const QString& filter);
