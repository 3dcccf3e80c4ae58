#pragma once

#include <functional>

class QApplication;
class QWidget;

struct StartupWindows {
    std::function<QWidget*()> makeMainWindow;
    // Shows the tips window modally; unset while the program has none.
    std::function<void()> showTips;
};

// The start routine: warns when no printer is installed, seeds an installed program's data folder
// (PrepareProgramFolder), loads the settings in force, settles the log journal
// (SettleLoggedChanges), shows the main window, then in one message what the settings could not
// give as stored (a value ignored, a book not found) and, unless NoShow is set, the tips window;
// then runs the program. A failure while starting is shown as "Error loading main form, " + its
// description and ends the program.
int StartRoutine(QApplication& app, const StartupWindows& windows);
