#include "startup.h"

#include "modRegEdit.h"
#include "printers.h"
#include "prompts.h"
#include "settings.h"
#include "settingvalues.h"

#include <QApplication>
#include <QWidget>
#include <memory>
#include <stdexcept>

int StartRoutine(QApplication& app, const StartupWindows& windows) {
    if (!IsPrinterInstalled())
        ShowMessage(nullptr,
                    QStringLiteral("WARNING, No printer object is installed on this system."),
                    QMessageBox::Critical);
    std::unique_ptr<QWidget> mainWindow;
    try {
        LoadSettings();
        mainWindow.reset(windows.makeMainWindow());
        mainWindow->show();
        mainWindow->repaint();
        QApplication::processEvents();
        const QVariant noShow =
            regGet_KeyValue(HKEY_LOCAL_MACHINE, MainSettingsKey, setting::NoShow, 0);
        bool isNumber = false;
        const int noShowValue = noShow.toString().toInt(&isNumber);
        if (isNumber && noShowValue == 0 && windows.showTips)
            windows.showTips();
    } catch (const std::exception& error) {
        QApplication::beep();
        ShowMessage(nullptr, "Error loading main form, " + QString::fromUtf8(error.what()),
                    QMessageBox::Critical);
        return 1;
    }
    if (!mainWindow->isVisible())
        return 0;
    return app.exec();
}
