#include "frmPellory.h"
#include "frmTips.h"
#include "readysignal.h"
#include "startup.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pellory"));
    QApplication::setApplicationVersion(QStringLiteral(PELLORY_VERSION));
    const auto makeMainWindow = [] {
        auto* window = new frmPellory;
        SignalReadyWhenIdle(window);
        return window;
    };
    return StartRoutine(app, {makeMainWindow, ShowTips});
}
