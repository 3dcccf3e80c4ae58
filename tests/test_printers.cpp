#include "modDialog32.h"
#include "printers.h"
#include "privatecups.h"
#include "sheetprinting.h"
#include "testsupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPrintDialog>
#include <QProcess>
#include <QTemporaryFile>
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

    // Sends a small text file to the queue as any program would, through lp.
    bool SubmitJob(const QString& queue) {
        QTemporaryFile text;
        if (!text.open() || text.write("a page\n") < 0)
            return false;
        text.flush();
        return QProcess::execute(QStringLiteral("lp"), {QStringLiteral("-s"), QStringLiteral("-d"),
                                                        queue, text.fileName()}) == 0;
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

    void theChosenNameFindsItsOwnPrinter() {
        // In the system's order BackOffice comes first and contains "Office".
        AddQueue(QStringLiteral("Office"));
        AddQueue(QStringLiteral("BackOffice"));
        QString name = QStringLiteral("Office");
        QCOMPARE(GetPrinterPort(name), Port(QStringLiteral("Office")));
        QCOMPARE(name, QStringLiteral("Office"));

        // A name cut to the old 32-character field still finds its printer.
        name = QStringLiteral("label-writer-with-a-name-longer");
        QCOMPARE(GetPrinterPort(name),
                 Port(QStringLiteral("label-writer-with-a-name-longer-than-32-characters")));
        QCOMPARE(name, QStringLiteral("label-writer-with-a-name-longer-than-32-characters"));

        // Once Office is gone, no printer whose name merely contains it takes its place.
        AddQueue(QStringLiteral("Office-Annex"));
        const QString removed = cups_->RemoveQueue(QStringLiteral("Office"));
        QVERIFY2(removed.isEmpty(), qPrintable(removed));
        name = QStringLiteral("Office");
        QCOMPARE(GetPrinterPort(name), QString());
        QCOMPARE(name, QStringLiteral("Office"));
    }

    void noMatchLeavesTheNameAlone() {
        for (const QString& asked :
             {QStringLiteral("plotter"), QStringLiteral("LASER"), QStringLiteral("laser")}) {
            QString name = asked;
            QCOMPARE(GetPrinterPort(name), QString());
            QCOMPARE(name, asked);
        }
    }

    void stoppedQueueIsSeenAsHoldingJobs() {
        const QString stopped = cups_->StopQueue(QStringLiteral("BackOffice"));
        QVERIFY2(stopped.isEmpty(), qPrintable(stopped));
        const auto printers = InstalledPrinters();
        QVERIFY(printers);
        QVERIFY(FindPrinter(*printers, QStringLiteral("BackOffice"))->HoldsJobs());
        QVERIFY(!FindPrinter(*printers, QStringLiteral("Office-Annex"))->HoldsJobs());
    }

    // A print is done once the queue shows a job it did not show before, held or printed.
    void newJobIsSeenOnceTheQueueHoldsIt() {
        QCOMPARE(NewestJobId(QStringLiteral("no-such-queue")), std::nullopt);
        const auto before = NewestJobId(QStringLiteral("Office-Annex"));
        QCOMPARE(before, std::optional<int>(0));
        bool painted = false;
        QTimer::singleShot(100, [&painted] { painted = true; });
        QElapsedTimer waited;
        waited.start();
        QVERIFY(!WaitForJobAfter(QStringLiteral("Office-Annex"), *before));
        QVERIFY(waited.elapsed() >= 4000 && waited.elapsed() < 8000);
        QVERIFY(painted);

        // A job that is printed and done already counts, also when it went to an instance.
        QVERIFY(SubmitJob(QStringLiteral("Office-Annex")));
        QCOMPARE(cups_->FinishedJobs(QStringLiteral("Office-Annex")), 1);
        QVERIFY(WaitForJobAfter(QStringLiteral("Office-Annex/draft"), *before));
        const auto newest = NewestJobId(QStringLiteral("Office-Annex"));
        QVERIFY(newest > before);
        // One held by a stopped queue counts too; jobs of other queues do not.
        const auto held = NewestJobId(QStringLiteral("BackOffice"));
        QVERIFY(SubmitJob(QStringLiteral("BackOffice")));
        QVERIFY(WaitForJobAfter(QStringLiteral("BackOffice"), *held));
        QCOMPARE(NewestJobId(QStringLiteral("Office-Annex")), newest);
    }

    void choosingAPrinterTellsChosenFromCancelled() {
        PromptRecorder prompts;
        prompts.printers = {{QStringLiteral("Office-Annex"), 3}};
        ChosenPrinter chosen;
        QCOMPARE(ChoosePrinter(nullptr, 2, chosen), PrinterPick::Chosen);
        QCOMPARE(chosen.deviceName, QStringLiteral("Office-Annex"));
        QCOMPARE(chosen.copies, 3);
        QCOMPARE(ChoosePrinter(nullptr, 2, chosen), PrinterPick::Cancelled);
        QCOMPARE(chosen.deviceName, QStringLiteral("Office-Annex"));
        QCOMPARE(prompts.printDialogCopies, (std::vector<int>{2, 2}));
    }

    // A scheduler that never answers counts as no printer, and the window paints meanwhile.
    void hungSchedulerIsNoPrinterAndFreezesNothing() {
        const HungCups hung;
        QVERIFY(hung.Listening());
        bool painted = false;
        QTimer::singleShot(100, [&painted] { painted = true; });
        QVERIFY(!IsPrinterInstalled());
        QVERIFY(painted);
        QCOMPARE(NewestJobId(QStringLiteral("Office-Annex")), std::nullopt);
        QVERIFY(!WaitForJobAfter(QStringLiteral("Office-Annex"), 0));

        PromptRecorder prompts;
        prompts.printers = {{QStringLiteral("Office-Annex"), 1}};
        QCOMPARE(PrintOnChosenPrinter(nullptr, QStringLiteral("Sheet1"), 2), SheetPrint::Failed);
        QVERIFY(prompts.printDialogCopies.empty()); // the dialog would have hung on it too
        QVERIFY(prompts.messages.empty());          // the caller says it failed
        ChosenPrinter chosen;
        QCOMPARE(ChoosePrinter(nullptr, 2, chosen), PrinterPick::Unavailable);
        QVERIFY(prompts.printDialogCopies.empty());
    }

    void printDialogReturnsPrinterAndCopies() {
        QAbstractPrintDialog::PrintDialogOptions offered;
        const PrinterChoice chosen = AnswerPrintDialog(3, true, &offered);
        const auto installed = InstalledPrinters();
        QVERIFY(installed);
        QVERIFY2(FindPrinter(*installed, chosen.deviceName), qPrintable(chosen.deviceName));
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
