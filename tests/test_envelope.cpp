// The envelope printer on a real book, a real office and a private printer queue.
#include "books.h"
#include "frmPelloryEnv.h"
#include "modExcel.h"
#include "modRegEdit.h"
#include "officeprobe.h"
#include "privatecups.h"
#include "settingvalues.h"
#include "testsupport.h"
#include "windowtoolbar.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCryptographicHash>
#include <QFile>
#include <QFileSystemWatcher>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>

namespace {
const QString Queue = QStringLiteral("pellory-envelope-printer");

QByteArray fingerprint(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly)
               ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
               : QByteArray();
}

QString returnLine(int line) {
    return regGet_KeyValue(HKEY_LOCAL_MACHINE, EnvelopeSettingsKey,
                           "ReturnAddr" + QString::number(line))
        .toString();
}

QStringList texts(const std::array<QLineEdit*, 4>& fields) {
    QStringList lines;
    for (const QLineEdit* field : fields)
        lines << field->text();
    return lines;
}

// The window as the program starts it, with its account list loaded.
std::unique_ptr<frmPelloryEnv> startWindow() {
    auto window = std::make_unique<frmPelloryEnv>();
    window->show();
    QApplication::processEvents();
    return window;
}
} // namespace

class EnvelopeTest : public QObject {
    Q_OBJECT

    QTemporaryDir officeTemp_;
    std::unique_ptr<PrivateCups> cups_;
    std::unique_ptr<ProgramFolderFixture> folder_;

    QString workbook() const { return folder_->file("pelloryenv.xls"); }

  private slots:
    void initTestCase() {
        const QString rig = StartPrintingRig(cups_, officeTemp_, Queue);
        QVERIFY2(rig.isEmpty(), qPrintable(rig));
    }

    void init() {
        folder_ = std::make_unique<ProgramFolderFixture>();
        QVERIFY(QFile::copy(QStringLiteral(PELLORY_BUILT_PROGRAM_FOLDER "/pelloryenv.xls"),
                            workbook()));
        QVERIFY(AddAccount(folder_->database(), {.account = "B-2", .name = "Beta Bakery"}));
        QVERIFY(AddAccount(folder_->database(), {.account = "A-1", .name = "Acme Tools"}));
    }

    void cleanup() {
        folder_.reset();
        xlsEnd_Office(); // the office kept warm between jobs goes too
        QCOMPARE(ProcessesMentioning(officeTemp_.path()), QList<int>());
    }

    void returnAddressSurvivesRestartAndTheBookIsOnlyRead() {
        const QByteArray bookBefore = fingerprint(folder_->database());
        auto window = startWindow();
        QCOMPARE(window->COMBO_AccountNumber->count(), 2);
        QCOMPARE(window->COMBO_AccountNumber->itemText(0), QString("B-2"));
        window->COMBO_AccountNumber->setCurrentText("A-1");
        QCOMPARE(window->LABEL_Name->text(), QString("< Acme Tools"));
        QCOMPARE(texts(window->TEXT_BillAddress),
                 QStringList({"Acme Tools", "12 Mill Lane", "Springfield", ""}));
        window->COMBO_AccountNumber->setCurrentText("NO-SUCH");
        QCOMPARE(window->LABEL_Name->text(), QString("< Acme Tools"));
        QCOMPARE(window->TEXT_BillAddress[1]->text(), QString("12 Mill Lane"));

        const QStringList typed = {"Harbour Lane Gardens", "02134", "", "007"};
        for (int line = 0; line < 4; ++line)
            window->TEXT_Address[line]->setText(typed[line]);
        QSignalSpy finished(window.get(), &QDialog::finished);
        QTest::keyClick(window->TEXT_Address[0], Qt::Key_Escape);
        QCOMPARE(finished.size(), 1);
        QVERIFY(!window->isVisible());

        window = startWindow();
        QCOMPARE(texts(window->TEXT_Address), typed);
        window->TEXT_Address[2]->setText("Portland, OR 97208");
        QTest::keyClick(window.get(), Qt::Key_E, Qt::AltModifier);
        QVERIFY(!window->isVisible());
        QCOMPARE(returnLine(3), QString("Portland, OR 97208"));
        QCOMPARE(returnLine(4), QString("007"));
        QCOMPARE(fingerprint(folder_->database()), bookBefore);
    }

    void printsBothAddressesAndNoFormula() {
        const QByteArray workbookBefore = fingerprint(workbook());
        const QByteArray bookBefore = fingerprint(folder_->database());
        const int jobsBefore = cups_->FinishedJobs(Queue);
        auto window = startWindow();
        window->COMBO_AccountNumber->setCurrentText("A-1");
        window->COMBO_AccountNumber->setCurrentText("UNKNOWN"); // keeps Acme Tools on display
        // Formulas would print their results; as text they print as typed and never run.
        window->TEXT_BillAddress[2]->setText("=1+1");
        window->TEXT_BillAddress[3]->setText("=WEBSERVICE(\"http://127.0.0.1:9/x\")");
        // A line of digits keeps its leading zeros.
        const QStringList returnAddress = {"Harbour Lane Gardens", "PO Box 4410", "+1-555-0100",
                                           "00123"};
        for (int line = 0; line < 4; ++line)
            window->TEXT_Address[line]->setText(returnAddress[line]);

        PromptRecorder prompts;
        prompts.printers = {{Queue, 1}};
        prompts.answers = {QMessageBox::Yes};
        // "sent to printer" is only true once the queue holds the job.
        int jobsWhenTold = -1;
        Prompts().message = [&, record = Prompts().message](QWidget* owner,
                                                            const MessageRequest& request) {
            jobsWhenTold = cups_->Jobs(Queue);
            return record(owner, request);
        };
        QTest::keyClick(window.get(), Qt::Key_P, Qt::AltModifier);
        QCOMPARE(prompts.messages.size(), std::size_t(2));
        QCOMPARE(prompts.messages[0].icon, QMessageBox::Question);
        QCOMPARE(prompts.messages[1].text,
                 QString("The envelope has been created and sent to printer."));
        QCOMPARE(prompts.messages[1].title, QString("Envelope Complete"));
        QCOMPARE(jobsWhenTold, jobsBefore + 1);

        QCOMPARE(cups_->FinishedJobs(Queue), jobsBefore + 1);
        const QStringList pages = PdfPages(cups_->OutputFile(Queue));
        QCOMPARE(pages.size(), 1);
        for (const QString& line :
             QStringList{"Acme Tools", "12 Mill Lane", "=1+1", "WEBSERVICE"} + returnAddress)
            QVERIFY2(pages[0].contains(line), qPrintable(line + " not in:\n" + pages[0]));
        QCOMPARE(fingerprint(workbook()), workbookBefore);
        QCOMPARE(fingerprint(folder_->database()), bookBefore);
    }

    void cancelOrNoStartsNoOffice() {
        QCOMPARE(regSet_KeyValue(HKEY_LOCAL_MACHINE, MainSettingsKey, setting::Copies, 3), 0);
        QFileSystemWatcher offices({officeTemp_.path()});
        QSignalSpy officeStarted(&offices, &QFileSystemWatcher::directoryChanged);
        auto window = startWindow();
        window->COMBO_AccountNumber->setCurrentText("B-2");
        PromptRecorder prompts;
        window->Toolbar1->button("OK")->trigger(); // the print dialog is cancelled
        QCOMPARE(prompts.printDialogCopies, std::vector<int>{3});
        QVERIFY(prompts.messages.empty());
        prompts.printers = {{Queue, 1}};
        prompts.answers = {QMessageBox::No};
        window->Toolbar1->button("OK")->trigger();
        QCOMPARE(prompts.messages.size(), std::size_t(1));
        QCOMPARE(prompts.lastMessage(),
                 QString("Insert envelope into printer, and click [Yes] to continue."));
        QTest::qWait(200);
        QCOMPARE(officeStarted.size(), 0);

        QVERIFY(QFile::remove(workbook()));
        window->Toolbar1->button("OK")->trigger();
        QCOMPARE(prompts.lastMessage(),
                 QString("Missing excel worksheet for envelope printing, cannot continue."));
        QCOMPARE(prompts.printDialogCopies.size(), std::size_t(2));
    }

    void vanishedBookIsToldBeforeItsAccountsShow() {
        QCOMPARE(regSet_KeyValue(HKEY_LOCAL_MACHINE, MainSettingsKey, setting::Database,
                                 folder_->file("gone.mdb")),
                 0);
        PromptRecorder prompts;
        QStringList accountsWhenTold;
        Prompts().message = [&, record = Prompts().message](QWidget* owner,
                                                            const MessageRequest& request) {
            const auto* window = qobject_cast<frmPelloryEnv*>(owner);
            for (int i = 0; window && i < window->COMBO_AccountNumber->count(); ++i)
                accountsWhenTold << window->COMBO_AccountNumber->itemText(i);
            return record(owner, request);
        };
        auto window = startWindow();
        QCOMPARE(prompts.messages.size(), std::size_t(1));
        QCOMPARE(prompts.messages[0].icon, QMessageBox::Warning);
        QCOMPARE(prompts.lastMessage(), ReadEnvelopeSettings().notice);
        QCOMPARE(accountsWhenTold, QStringList());
        QCOMPARE(window->COMBO_AccountNumber->count(), 2); // the program folder's book
    }

    void unopenableBookEndsTheProgram() {
        QFile broken(folder_->file("broken.mdb"));
        QVERIFY(broken.open(QIODevice::WriteOnly) && broken.write("not a book") > 0);
        broken.close();
        QCOMPARE(regSet_KeyValue(HKEY_LOCAL_MACHINE, MainSettingsKey, setting::Database,
                                 broken.fileName()),
                 0);
        PromptRecorder prompts;
        frmPelloryEnv window;
        QSignalSpy finished(&window, &QDialog::finished);
        window.show();
        window.TEXT_Address[0]->setText("Kept Anyway");
        QApplication::processEvents();
        QVERIFY2(prompts.lastMessage().startsWith(
                     "Error opening main database, cannot continue.\n\nOpen connection to " +
                     broken.fileName()),
                 qPrintable(prompts.lastMessage()));
        QCOMPARE(prompts.messages.back().icon, QMessageBox::Critical);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(returnLine(1), QString("Kept Anyway"));
    }
};

PELLORY_TEST_MAIN(EnvelopeTest)
#include "test_envelope.moc"
