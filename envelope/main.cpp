#include "frmPelloryEnv.h"
#include "prompts.h"

#include <QApplication>
#include <memory>
#include <stdexcept>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pellory Envelope Printer"));
    std::unique_ptr<frmPelloryEnv> window;
    try {
        window = std::make_unique<frmPelloryEnv>();
    } catch (const std::exception& error) {
        QApplication::beep();
        ShowMessage(nullptr, "Error loading envelope printer, " + QString::fromUtf8(error.what()),
                    QMessageBox::Critical);
        return 1;
    }
    QObject::connect(window.get(), &QDialog::finished, &app, &QApplication::quit);
    window->show();
    return app.exec();
}
