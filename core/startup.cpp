#include "startup.h"

#include "events.h"
#include "loggedchange.h"
#include "modExcel.h"
#include "paths.h"
#include "printers.h"
#include "prompts.h"
#include "settings.h"
#include "typedsettings.h"

#include <QApplication>
#include <QWidget>
#include <memory>
#include <stdexcept>

namespace {
void reportStartFailure(const QString& description) {
    QApplication::beep();
    ShowMessage(nullptr, "Error loading main form, " + description, QMessageBox::Critical);
}
} // namespace

int StartRoutine(QApplication& app, const StartupWindows& windows) {
    if (!IsPrinterInstalled())
        ShowMessage(nullptr,
                    QStringLiteral("WARNING, No printer object is installed on this system."),
                    QMessageBox::Critical);
    // An installed program starts the user's data folder before any setting points into it.
    if (const QString error = PrepareProgramFolder(); !error.isEmpty()) {
        reportStartFailure(error);
        return 1;
    }
    const QStringList notices = LoadSettings();
    // Lines of changes a previous run stored but did not get to log, before the log is listed.
    SettleLoggedChanges();
    std::unique_ptr<QWidget> mainWindow;
    try {
        mainWindow.reset(windows.makeMainWindow());
    } catch (const std::exception& error) {
        reportStartFailure(QString::fromUtf8(error.what()));
        return 1;
    }
    mainWindow->show();
    mainWindow->repaint();
    LetEventsRun();
    // Once the window shows, an office starts in the background for the first print job.
    xlsWarm_Office();
    // Shown over the main window, whose caption names the book that is open.
    if (!notices.isEmpty())
        ShowMessage(mainWindow.get(), notices.join(QLatin1String("\n\n")), QMessageBox::Warning);
    // Tips show only while "NoShow" holds the number 0: a damaged value hides them.
    if (ReadNoShow() == 0 && windows.showTips)
        windows.showTips();
    if (!mainWindow->isVisible())
        return 0;
    return app.exec();
}
