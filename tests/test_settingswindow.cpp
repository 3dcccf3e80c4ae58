// The settings window and the tips window, on real books, the real settings store and real
// side files.
#include "announcer.h"
#include "bookchanges.h"
#include "bookrows.h"
#include "books.h"
#include "booksession.h"
#include "commandtags.h"
#include "frmPellory.h"
#include "frmRestore.h"
#include "frmSettings.h"
#include "frmTaxRates.h"
#include "frmTips.h"
#include "invoicelines.h"
#include "modCommand.h"
#include "modRegEdit.h"
#include "paths.h"
#include "settingvalues.h"
#include "startup.h"
#include "typedsettings.h"
#include "windowtoolbar.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>

namespace {
QVariant stored(const QString& name) {
    return regGet_KeyValue(HKEY_LOCAL_MACHINE, MainSettingsKey, name);
}
void store(const QString& name, const QVariant& value, bool asText = false) {
    QCOMPARE(regSet_KeyValue(HKEY_LOCAL_MACHINE, MainSettingsKey, name, value, asText), 0);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
void writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QStringList entries(const QComboBox* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->itemText(i);
    return texts;
}

// Fills the book and empties most of it again, so that a compaction has something to give back.
void leaveFreePages(const QString& path) {
    for (int i = 0; i < 300; ++i)
        QVERIFY(TestBook(path).addInvoice(QString("9%1").arg(i, 6, 10, QChar('0')), "GONE",
                                          QVariant(), QString(300, 'x')));
    QString error;
    QCOMPARE(daoOpen_DBConnection(path, error), 0);
    QCOMPARE(daoIssue_EXEStatement(sql::DeleteInvoicesOfAccount, error, {"GONE"}), 0);
    daoClose_DBConnection();
}

void pressSave(frmSettings& window) {
    QTest::keyClick(window.COMBO_Description, Qt::Key_S, Qt::AltModifier);
}
} // namespace

class SettingsWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        fixture = std::make_unique<BookFixture>();
        // What the main window would list, and how often it would rebuild its tree.
        Announcements().announceReload({});
        connect(&BookChangeAnnouncer(), &BookChanges::changed, this, [this] { ++treeRebuilds; });
        treeRebuilds = 0;
    }
    void cleanup() {
        Announcements().disconnect(this);
        BookChangeAnnouncer().disconnect(this);
        fixture.reset();
    }

    void openingFillsEveryControlFromTheSettingsInForce() {
        const QString workbook = fixture->folder.file("forms.xls");
        writeFile(workbook, "workbook");
        store(setting::Worksheet, workbook, true);
        store(setting::Message0, "Pay by the 5th.", true);
        store(setting::Message1, "Cheers.", true);
        store(setting::Copies, 7);
        store(setting::TransactionLog, 0);
        store(setting::NoShow, 1);
        writeFile(UnitDescriptionFilePath(), "Hours\r\n\r\nVisits\r\n");
        LoadSettings();
        {
            frmSettings window;
            QCOMPARE(window.windowTitle(), QString("Pellory Settings"));
            QCOMPARE(window.TEXT_Database->text(), fixture->folder.database());
            QCOMPARE(window.TEXT_Worksheet->text(), workbook);
            QCOMPARE(window.TEXT_Message[0]->text(), QString("Pay by the 5th."));
            QCOMPARE(window.TEXT_Message[1]->text(), QString("Cheers."));
            QCOMPARE(entries(window.COMBO_Description), QStringList({"Hours", "Visits"}));
            QCOMPARE(window.COMBO_Description->currentText(), QString("Hours"));
            QCOMPARE(window.HScroll_Copies->value(), 7);
            QCOMPARE(window.LABEL_DefaultCopies->text(), QString("7"));
            window.HScroll_Copies->setValue(50);
            QCOMPARE(window.LABEL_DefaultCopies->text(), QString("50"));
            QVERIFY(!window.CHECK_Transaction->isChecked());
            QVERIFY(window.CHECK_NoShow->isChecked());
            QVERIFY(!window.BUTTON_Transaction->isEnabled()); // the main window lists no line
        }
        Announcements().announceLine("1/2/2026 9:00:00 AM, Added account# 1");
        frmSettings window;
        QVERIFY(window.BUTTON_Transaction->isEnabled());
    }

    void savingCompactsAndBacksUpTheBookInUseThenSwitches() {
        const QString old = Settings().Database;
        const QString other = fixture->folder.file("other.mdb");
        QVERIFY(QFile::copy(old, other));
        QVERIFY(TestBook(other).addProfile("NEW", MasterMarker, "New book"));
        QVERIFY(fixture->book().addProfile("OLD", MasterMarker, "Old book"));
        for (const QString& chosen : {old, other}) { // first without a change, then a new book
            leaveFreePages(old);
            const qint64 before = QFileInfo(old).size();
            frmSettings window;
            window.show();
            fixture->prompts.answers = {QMessageBox::No, QMessageBox::Yes};
            fixture->prompts.files = {chosen};
            window.BUTTON_DBBrowse->click(); // No: no file dialog
            window.BUTTON_DBBrowse->click();
            QCOMPARE(window.TEXT_Database->text(), chosen);
            QCOMPARE(Settings().Database, old); // nothing in force before the save
            const int rebuildsBefore = treeRebuilds;
            pressSave(window);
            QCOMPARE(window.result(), int(QDialog::Accepted));
            QCOMPARE(Settings().Database, chosen);
            QTRY_COMPARE(treeRebuilds, rebuildsBefore + 1);
            QVERIFY(QFileInfo(old).size() < before / 2);
            QCOMPARE(fixture->book().profile("OLD").value(col::CustomerName), QVariant("Old book"));
            QCOMPARE(TestBook(fixture->folder.file("backup/pellory.mdb")).profiles(), 1);
            QCOMPARE(fixture->prompts.messages.size(), std::size_t(2));
            QVERIFY(
                fixture->prompts.lastMessage().startsWith("WARNING: Changing the Main Database"));
            fixture->prompts.messages.clear();
        }
        QVERIFY(!QFile::exists(fixture->folder.file("backup/other.mdb")));
        // Texts as text, numbers as numbers.
        QCOMPARE(stored(setting::Database), QVariant(other));
        QCOMPARE(stored(setting::Message1), QVariant("Thank you."));
        QCOMPARE(stored(setting::Description), QVariant(QString()));
        QCOMPARE(stored(setting::Copies), QVariant(2));
        QCOMPARE(stored(setting::TransactionLog), QVariant(1));
        QCOMPARE(stored(setting::NoShow), QVariant(0));
    }

    void aFileThatIsNoPelloryBookIsRefusedWithNothingSaved() {
        const QString notes = fixture->folder.file("notes.mdb");
        writeFile(notes, "Shopping list\n");
        QByteArray jet(2048, '\0');
        jet.replace(4, 15, "Standard Jet DB");
        const QString access = fixture->folder.file("access97.mdb");
        writeFile(access, jet);
        frmSettings window;
        window.show();
        fixture->prompts.inputs = {QString("Hours")};
        window.BUTTON_NewDescription->click();
        window.HScroll_Copies->setValue(9);
        for (const QString& chosen : {notes, access}) {
            fixture->prompts.answers = {QMessageBox::Yes};
            fixture->prompts.files = {chosen};
            window.BUTTON_DBBrowse->click();
            pressSave(window);
            const MessageRequest& refusal = fixture->prompts.messages.back();
            QCOMPARE(refusal.icon, QMessageBox::Critical);
            QVERIFY(refusal.text.startsWith("The file " + chosen + " cannot be used"));
            QVERIFY(refusal.text.endsWith("\n\nNothing was saved."));
            QVERIFY(window.isVisible());
        }
        QVERIFY(fixture->prompts.lastMessage().contains("Access/Jet database"));
        QVERIFY(!stored(setting::Database).isValid());
        QVERIFY(!stored(setting::Copies).isValid());
        QVERIFY(!QFile::exists(UnitDescriptionFilePath()));
        QVERIFY(!QFile::exists(fixture->folder.file("backup/pellory.mdb")));
        QCOMPARE(treeRebuilds, 0);
        QCOMPARE(readFile(notes), QByteArray("Shopping list\n"));
    }

    void moveBookAsksForTheTargetAndShowsWhatBecameOfIt() {
        const QString taken = fixture->folder.file("taken.mdb");
        writeFile(taken, "kept");
        frmSettings window;
        window.show();
        fixture->prompts.inputs = {std::nullopt, taken};
        window.BUTTON_MoveBook->click(); // cancelled: nothing moves, nothing is said
        QVERIFY(fixture->prompts.messages.empty());
        window.BUTTON_MoveBook->click();
        QCOMPARE(fixture->prompts.messages.back().icon, QMessageBox::Critical);
        QVERIFY(fixture->prompts.lastMessage().contains(taken));
        QCOMPARE(readFile(taken), QByteArray("kept"));
    }

    void restoreListsTheCopiesAndRestoresTheChosenOne() {
        const QString book = fixture->folder.database();
        QVERIFY(QFile::copy(book, fixture->folder.file("backup/blank.mdb")));
        QVERIFY(AddAccount(book, {.account = "A"}));
        frmSettings window;
        window.show();
        fixture->prompts.answers = {QMessageBox::Yes};
        fixture->prompts.onModal = [](QDialog* dialog) {
            auto* restoring = qobject_cast<frmRestore*>(dialog);
            restoring->TABLE_Copies->selectRow(0);
            restoring->CMD_Restore->click();
            return dialog->result();
        };
        window.BUTTON_Restore->click();
        QVERIFY2(fixture->prompts.lastMessage().startsWith("The book was restored from"),
                 qPrintable(fixture->prompts.lastMessage()));
        QCOMPARE(CountRows(book, sql::SelectAllProfiles), 0);
    }

    void taxRatesAreEditedInTheirWindowAndTheRoundingIsASetting() {
        frmSettings window;
        window.show();
        QCOMPARE(window.COMBO_TaxRounding->currentIndex(), 0); // on each line unless stored
        const auto setRow = [](frmTaxRates* rates, int row, const QString& name,
                               const QString& percent) {
            rates->TABLE_Rates->item(row, 0)->setText(name);
            rates->TABLE_Rates->item(row, 1)->setText(percent);
        };
        QStringList refusals;
        fixture->prompts.onModal = [&](QDialog* dialog) {
            auto* rates = qobject_cast<frmTaxRates*>(dialog);
            rates->CMD_Add->click();
            rates->CMD_Add->click();
            setRow(rates, 0, "VAT 20 %", "20");
            setRow(rates, 1, "VAT 20 %", "8.25x");
            rates->CMD_Save->click(); // not a number
            refusals << fixture->prompts.lastMessage();
            setRow(rates, 1, "VAT 20 %", "8.25");
            rates->CMD_Save->click(); // the book refuses a name used twice
            refusals << fixture->prompts.lastMessage();
            setRow(rates, 1, " Sales tax 8.25 % ", "8.25");
            rates->CMD_Save->click();
            return dialog->result();
        };
        window.BUTTON_TaxRates->click();
        QCOMPARE(refusals.size(), 2);
        QVERIFY2(refusals[0].contains("\"8.25x\"") && refusals[0].contains("Nothing was saved"),
                 qPrintable(refusals[0]));
        QVERIFY2(refusals[1].contains("named twice") && refusals[1].contains("Nothing was saved"),
                 qPrintable(refusals[1]));
        QCOMPARE(fixture->prompts.messages.size(), std::size_t(2));
        const auto storedRates = [&] {
            BookSession session(fixture->folder.database());
            QStringList found;
            for (const TaxRate& rate : Must(ReadTaxRates()))
                found << rate.name + "=" + QString::number(rate.percent);
            return found;
        };
        QCOMPARE(storedRates(), QStringList({"Sales tax 8.25 %=8.25", "VAT 20 %=20"}));

        // Opened again it lists them; one removed and cancelled leaves the book as it was.
        QStringList listed;
        fixture->prompts.onModal = [&](QDialog* dialog) {
            auto* rates = qobject_cast<frmTaxRates*>(dialog);
            for (int row = 0; row < rates->TABLE_Rates->rowCount(); ++row)
                listed << rates->TABLE_Rates->item(row, 0)->text() + "=" +
                              rates->TABLE_Rates->item(row, 1)->text();
            rates->TABLE_Rates->selectRow(0);
            rates->CMD_Remove->click();
            rates->CMD_Cancel->click();
            return dialog->result();
        };
        window.BUTTON_TaxRates->click();
        QCOMPARE(listed, storedRates());
        QCOMPARE(storedRates().size(), 2);

        window.COMBO_TaxRounding->setCurrentIndex(1);
        pressSave(window);
        QCOMPARE(stored(setting::TaxRounding), QVariant(1));
        QVERIFY(ReadTaxRounding() == TaxRounding::OnTotal);
    }

    void unitDescriptionsFollowTheirRules() {
        writeFile(UnitDescriptionFilePath(), "Visits\r\n");
        frmSettings window;
        window.show();
        const QString longText = QString(100, 'h') + QString(50, 'x');
        fixture->prompts.inputs = {QString("Hours"), QString("HOURS"), std::nullopt, longText};
        for (int i = 0; i < 4; ++i)
            window.BUTTON_NewDescription->click();
        QCOMPARE(entries(window.COMBO_Description),
                 QStringList({"Visits", "Hours", longText.left(100)}));
        QCOMPARE(window.COMBO_Description->currentIndex(), 2);
        QVERIFY(fixture->prompts.messages.empty()); // a duplicate is ignored without a word
        pressSave(window);
        QCOMPARE(readFile(UnitDescriptionFilePath()),
                 "Visits\r\nHours\r\n" + longText.left(100).toUtf8() + "\r\n");
        QCOMPARE(stored(setting::Description), QVariant(longText.left(100)));

        frmSettings again;
        again.show();
        while (again.COMBO_Description->count() > 0)
            again.BUTTON_DelDescription->click();
        pressSave(again);
        QVERIFY(!QFile::exists(UnitDescriptionFilePath()));
    }

    void purgeKeepsTheLastLogInTheBackupFolder() {
        const QByteArray lines = "1/2/2026 9:00:00 AM, Added account# 1\r\n";
        for (const bool withBackupFolder : {true, false}) {
            if (!withBackupFolder)
                QVERIFY(QDir(fixture->folder.file("backup")).removeRecursively());
            writeFile(LogFilePath(), lines);
            LogTransaction(QString());
            frmSettings window;
            window.show();
            fixture->prompts.answers = {QMessageBox::No};
            window.BUTTON_Transaction->click();
            QCOMPARE(readFile(LogFilePath()), lines);
            QCOMPARE(fixture->prompts.messages.back().text,
                     QString("Are you sure you want to purge the transaction log?"));
            fixture->prompts.answers = {QMessageBox::Yes};
            window.BUTTON_Transaction->click();
            QVERIFY(!QFile::exists(LogFilePath()));
            QVERIFY(Announcements().listedLines().isEmpty());
            QVERIFY(!window.BUTTON_Transaction->isEnabled());
            QCOMPARE(readFile(fixture->folder.file("backup/pellory.log")),
                     withBackupFolder ? lines : QByteArray());
        }
    }

    void tipsAreTrueAndTheirBoxIsStoredOnEveryClose() {
        ClearSettingsStore();
        frmTips tips;
        QCOMPARE(tips.windowTitle(), QString("Tips"));
        QVERIFY(tips.LABEL_Help[1]->text().contains("SQLite database"));
        QVERIFY(!tips.LABEL_Help[1]->text().contains("Access"));
        QCOMPARE(tips.LABEL_Help[2]->text(),
                 QString("Pellory automatically saves a electronic backup copy of each invoice "
                         "created. Open the \"" +
                         fixture->folder.file("backup") + "\" folder to view the files."));

        fixture->prompts.onModal = [](QDialog* dialog) {
            dialog->show();
            QTest::keyClick(dialog, Qt::Key_Escape);
            return dialog->result();
        };
        ShowTips();
        QCOMPARE(stored(setting::NoShow), QVariant(0)); // written although nothing was touched

        fixture->prompts.onModal = [](QDialog* dialog) {
            dialog->show();
            static_cast<frmTips*>(dialog)->CHECK_NoShow->setChecked(true);
            QTest::keyClick(dialog, Qt::Key_E, Qt::AltModifier);
            return dialog->result();
        };
        ShowTips();
        QCOMPARE(stored(setting::NoShow), QVariant(1));

        // The next start shows no tips.
        fixture->prompts.modalWindows.clear();
        StartupWindows windows{[] {
                                   auto* main = new QWidget;
                                   QTimer::singleShot(0, main, &QWidget::close);
                                   return main;
                               },
                               ShowTips};
        QCOMPARE(StartRoutine(*qApp, windows), 0);
        QVERIFY(fixture->prompts.modalWindows.empty());
    }

    void mainWindowOpensSettingsModally() {
        Announcements().disconnect(this);
        BookChangeAnnouncer().disconnect(this);
        frmPellory main;
        main.show();
        QApplication::processEvents();
        QAction* settings = main.Toolbar1->button(command::Settings);
        QVERIFY(settings->isEnabled());
        settings->trigger();
        QCOMPARE(fixture->prompts.modalWindows, std::vector<QString>{"frmSettings"});
    }

  private:
    std::unique_ptr<BookFixture> fixture;
    int treeRebuilds = 0;
};

PELLORY_TEST_MAIN(SettingsWindowTest)
#include "test_settingswindow.moc"
