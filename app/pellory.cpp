#include "frmPellory.h"
#include "frmTips.h"
#include "startup.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pellory"));
    QApplication::setApplicationVersion(QStringLiteral(PELLORY_VERSION));
    return StartRoutine(app, {[] { return new frmPellory; }, ShowTips});
}
