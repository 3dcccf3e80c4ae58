#include "frmPelloryEnv.h"
#include "modExcel.h"
#include "paths.h"
#include "prompts.h"

#include <QApplication>
#include <QTimer>
#include <memory>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pellory Envelope Printer"));
    // An installed program starts the user's data folder before any setting points into it.
    if (const QString error = PrepareProgramFolder(); !error.isEmpty()) {
        ShowMessage(nullptr, "Error loading envelope printer, " + error, QMessageBox::Critical);
        return 1;
    }
    auto window = std::make_unique<frmPelloryEnv>();
    if (!window->StartError().isEmpty()) {
        QApplication::beep();
        ShowMessage(nullptr, "Error loading envelope printer, " + window->StartError(),
                    QMessageBox::Critical);
        return 1;
    }
    QObject::connect(window.get(), &QDialog::finished, &app, &QApplication::quit);
    window->show();
    // An office starts in the background once the window shows, so the envelope prints at once.
    QTimer::singleShot(0, window.get(), [] { xlsWarm_Office(); });
    return app.exec();
}
