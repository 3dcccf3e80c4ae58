#include "modDialog32.h"
#include "printers.h"
#include "privatecups.h"
#include "testsupport.h"

#include <QApplication>
#include <QPrintDialog>
#include <QTimer>
#include <memory>

// The installed printers, as the private scheduler lists them, and the system print dialog
// over them.
class PrintersTest : public QObject {
    Q_OBJECT

    std::unique_ptr<PrivateCups> cups_;

    QString Port(const QString& queue) const {
        return QStringLiteral("file://") + cups_->OutputFile(queue);
    }

    void AddQueue(const QString& name) {
        const QString added = cups_->AddQueue(name);
        QVERIFY2(added.isEmpty(), qPrintable(added));
    }

    // Shows the real dialog and closes it, as the user would, with accept or reject; notes
    // what it offered.
    static PrinterChoice AnswerPrintDialog(int copies, bool accept,
                                           QAbstractPrintDialog::PrintDialogOptions* offered) {
        QTimer::singleShot(0, [accept, offered] {
            auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
            if (dialog)
                *offered = dialog->options();
            if (dialog && accept)
                dialog->accept();
            else if (dialog)
                dialog->reject();
        });
        return RunPrintDialog(nullptr, copies);
    }

  private slots:
    void initTestCase() {
        cups_ = std::make_unique<PrivateCups>();
        QVERIFY2(cups_->Error().isEmpty(), qPrintable(cups_->Error()));
    }

    void printerInstalledOnlyOnceAQueueExists() {
        QVERIFY(!IsPrinterInstalled());
        // Added out of name order: the system lists printers by name.
        AddQueue(QStringLiteral("office-laser-second-floor"));
        AddQueue(QStringLiteral("office-inkjet"));
        AddQueue(QStringLiteral("label-writer-with-a-name-longer-than-32-characters"));
        QVERIFY(IsPrinterInstalled());
    }

    void portOfFirstPrinterWhoseNameContainsTheText() {
        QString name = QStringLiteral("laser");
        QCOMPARE(GetPrinterPort(name), Port(QStringLiteral("office-laser-second-floor")));
        QCOMPARE(name, QStringLiteral("office-laser-second-floor"));

        name = QStringLiteral("office");
        QCOMPARE(GetPrinterPort(name), Port(QStringLiteral("office-inkjet")));
        QCOMPARE(name, QStringLiteral("office-inkjet"));

        // A name cut to the old 32-character field still finds its printer.
        name = QStringLiteral("label-writer-with-a-name-longer");
        QCOMPARE(GetPrinterPort(name),
                 Port(QStringLiteral("label-writer-with-a-name-longer-than-32-characters")));
        QCOMPARE(name, QStringLiteral("label-writer-with-a-name-longer-than-32-characters"));
    }

    void noMatchLeavesTheNameAlone() {
        for (const QString& asked : {QStringLiteral("plotter"), QStringLiteral("LASER")}) {
            QString name = asked;
            QCOMPARE(GetPrinterPort(name), QString());
            QCOMPARE(name, asked);
        }
    }

    void printDialogReturnsPrinterAndCopies() {
        QAbstractPrintDialog::PrintDialogOptions offered;
        const PrinterChoice chosen = AnswerPrintDialog(3, true, &offered);
        QVERIFY2(chosen.deviceName.startsWith(QStringLiteral("office-")) ||
                     chosen.deviceName.startsWith(QStringLiteral("label-")),
                 qPrintable(chosen.deviceName));
        QCOMPARE(chosen.copies, 3);
        for (const auto option :
             {QAbstractPrintDialog::PrintToFile, QAbstractPrintDialog::PrintSelection,
              QAbstractPrintDialog::PrintPageRange})
            QVERIFY(!offered.testFlag(option));

        const PrinterChoice cancelled = AnswerPrintDialog(2, false, &offered);
        QCOMPARE(cancelled.deviceName, QString());
    }
};

PELLORY_TEST_MAIN(PrintersTest)
#include "test_printers.moc"
