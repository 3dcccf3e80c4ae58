// The customer profile editor on a real book: what it shows, what it refuses, and what it
// stores or removes.
#include "bookrows.h"
#include "frmCustomer.h"
#include "modCommand.h"
#include "settings.h"
#include "testsupport.h"
#include "windowtoolbar.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>

namespace {
// Opens the editor as the main window does and lets its first activation run.
void open(frmCustomer& editor, const QString& account = QString()) {
    editor.Tag = account;
    editor.show();
    QCoreApplication::processEvents();
}

void fillRequired(frmCustomer& editor, const QString& account, int master = 0) {
    editor.TEXT_AccountNumber->setText(account);
    editor.COMBO_MasterAccount->setCurrentIndex(master);
    editor.TEXT_Name->setText("Abbott Plumbing");
    editor.TEXT_BillAddress[0]->setText("1 Mill Lane");
    editor.TEXT_Payable->setText("Varnaby Services");
    editor.TEXT_RecievingAddress[0]->setText("PO Box 17");
}

void click(frmCustomer& editor, const char* tag) {
    editor.Toolbar1->button(QString::fromLatin1(tag))->trigger();
}

QStringList logLines() {
    QFile log(LogFilePath());
    if (!log.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(log.readAll()).split("\r\n", Qt::SkipEmptyParts);
    for (QString& line : lines)
        line = line.section(", ", 1);
    return lines;
}

// A master with billing details of its own, to copy from.
QVariantMap masterBilling() {
    return {{QString::number(col::BillCycle), 1},
            {QString::number(col::MonthDay), "21"},
            {QString::number(col::GraceDays), 12},
            {QString::number(col::Address1), "Abbott House"},
            {QString::number(col::Address2), "4 Harbour Road"},
            {QString::number(col::Address3), "Springfield"},
            {QString::number(col::Address4), "SP1 4HR"},
            {QString::number(col::PayableTo), "Abbott Holdings"}};
}
} // namespace

class TestCustomer : public QObject {
    Q_OBJECT

    std::unique_ptr<BookFixture> fixture_;
    PromptRecorder* prompts_ = nullptr;
    ProgramFolderFixture* folder_ = nullptr;

    TestBook book() const { return fixture_->book(); }

  private slots:
    void init() {
        fixture_ = std::make_unique<BookFixture>();
        prompts_ = &fixture_->prompts;
        folder_ = &fixture_->folder;
    }

    void cleanup() { fixture_.reset(); }

    void newAccountStartsBlankWithTheMasterList() {
        QVERIFY(book().addProfile("1001", MasterMarker, "Abbott Plumbing"));
        QVERIFY(book().addProfile("2001", "1001", "Barnes Bakery"));
        QVERIFY(book().addProfile("1002", MasterMarker, "Dalton Dental"));
        frmCustomer editor;
        open(editor);
        QCOMPARE(editor.windowTitle(), QStringLiteral("Customer Profile"));
        // Masters read as in the tree; each item carries the number that is stored.
        QStringList masters;
        QStringList stored;
        for (int i = 0; i < editor.COMBO_MasterAccount->count(); ++i) {
            masters << editor.COMBO_MasterAccount->itemText(i);
            stored << editor.COMBO_MasterAccount->itemData(i).toString();
        }
        QCOMPARE(masters,
                 QStringList({MasterMarker, "1001, Abbott Plumbing", "1002, Dalton Dental"}));
        QCOMPARE(stored, QStringList({MasterMarker, "1001", "1002"}));
        QCOMPARE(editor.COMBO_MasterAccount->currentIndex(), -1);
        QVERIFY(!editor.COMBO_MasterAccount->isEditable());
        QVERIFY(editor.COMBO_Class->isEditable());
        QCOMPARE(editor.COMBO_Class->itemText(0), QStringLiteral("Personal, Individual"));
        QCOMPARE(editor.COMBO_Class->itemText(9), QStringLiteral("Mixed class!"));
        QVERIFY(editor.Toolbar1->button("OK")->isEnabled());
        QVERIFY(!editor.Toolbar1->button("Delete")->isEnabled());
        QVERIFY(!editor.TEXT_AccountNumber->isReadOnly());
        QCOMPARE(editor.focusWidget(), editor.TEXT_AccountNumber);
        QCOMPARE(editor.TEXT_Payment->text(), QStringLiteral("0.00"));
        QCOMPARE(editor.TEXT_Unit->text(), QStringLiteral("0.00"));
        QCOMPARE(editor.TEXT_MonthDay->text(), QStringLiteral("15"));
        QVERIFY(editor.OPTION_InvoiceType[0]->isChecked());
        QVERIFY(editor.OPTION_Cycle[0]->isChecked());
        QCOMPARE(editor.HScroll_Grace->value(), 0);
        QCOMPARE(editor.HScroll_Grace->maximum(), 30);
        QCOMPARE(editor.LABEL_Grace->text(), QStringLiteral("Payment Grace days: 0"));
        QCOMPARE(editor.SSTab1->tabText(0), QStringLiteral("&Customer Information"));
        QCOMPARE(editor.SSTab1->tabText(1), QStringLiteral("&Billing Information"));
    }

    void fieldsKeepTheirLimitsAndAmountsNeverStayEmpty() {
        frmCustomer editor;
        open(editor);
        QTest::keyClicks(editor.TEXT_AccountNumber, QString(25, 'A'));
        QCOMPARE(editor.TEXT_AccountNumber->text().size(), 20);
        QTest::keyClicks(editor.TEXT_Phone, "555-123-45678");
        QCOMPARE(editor.TEXT_Phone->text(), QStringLiteral("555-123-4567"));
        QTest::keyClicks(editor.TEXT_MonthDay, "31");
        QCOMPARE(editor.TEXT_MonthDay->text().size(), 2);
        editor.TEXT_Payment->setText("1234567890123");
        QCOMPARE(editor.TEXT_Payment->text().size(), 9);
        editor.TEXT_Payment->clear();
        QCOMPARE(editor.TEXT_Payment->text(), QStringLiteral("0.00"));
        QCOMPARE(editor.TEXT_Payment->selectedText(), QStringLiteral("0.00"));
        editor.TEXT_Unit->setText("  ");
        QCOMPARE(editor.TEXT_Unit->text(), QStringLiteral("0.00"));
        editor.HScroll_Grace->setValue(40);
        QCOMPARE(editor.LABEL_Grace->text(), QStringLiteral("Payment Grace days: 30"));
    }

    void checksRunInOrderShowingTheirPageAndField() {
        frmCustomer editor;
        open(editor);
        struct Step {
            std::function<void()> fix;
            QString message;
            int page;
            QWidget* field;
        };
        const QString ControlRefused = "Please do not put control characters, such as a line "
                                       "break or a tab, in the Account Number.";
        const std::vector<Step> steps = {
            {[&] { editor.TEXT_AccountNumber->setText("   "); }, "An Account Number is required.",
             0, editor.TEXT_AccountNumber},
            {[&] { editor.TEXT_AccountNumber->setText(" 1001,"); },
             "Please do not put comma's in the the Account Number.", 0, editor.TEXT_AccountNumber},
            // A line break would let an account number forge a line of the transaction log.
            {[&] { editor.TEXT_AccountNumber->setText("1001\n12/1/2026 9:00:00 AM"); },
             ControlRefused, 0, editor.TEXT_AccountNumber},
            {[&] { editor.TEXT_AccountNumber->setText("10\t01"); }, ControlRefused, 0,
             editor.TEXT_AccountNumber},
            {[&] { editor.TEXT_AccountNumber->setText(" 1001 "); },
             "A Master Account Number is required.", 0, editor.COMBO_MasterAccount},
            {[&] { editor.COMBO_MasterAccount->setCurrentIndex(0); },
             "A Customer Name is required.", 0, editor.TEXT_Name},
            {[&] { editor.TEXT_Name->setText("Abbott"); }, "A Billing Address is required.", 1,
             editor.TEXT_BillAddress[0]},
            {[&] { editor.TEXT_BillAddress[0]->setText("1 Mill Lane"); },
             "A Check Payable name is required.", 1, editor.TEXT_Payable},
            {[&] { editor.TEXT_Payable->setText("Varnaby"); }, "A Recieving Address is required.",
             1, editor.TEXT_RecievingAddress[0]},
        };
        for (const Step& step : steps) {
            step.fix();
            editor.SSTab1->setCurrentIndex(1 - step.page);
            prompts_->messages.clear();
            click(editor, "OK");
            QCOMPARE(prompts_->messages.size(), size_t(1));
            QCOMPARE(prompts_->lastMessage(), step.message);
            QCOMPARE(prompts_->messages[0].icon, QMessageBox::Warning);
            QCOMPARE(prompts_->messages[0].title, QStringLiteral("Pellory"));
            QCOMPARE(editor.SSTab1->currentIndex(), step.page);
            QCOMPARE(editor.focusWidget(), step.field);
            QVERIFY(editor.isVisible());
        }
        QCOMPARE(book().profiles(), 0);
        QCOMPARE(book().balanceRows("1001"), 0);
        QCOMPARE(logLines(), QStringList());
    }

    void newAccountIsStoredTrimmedWithItsBalanceRow() {
        frmCustomer editor;
        open(editor);
        fillRequired(editor, "  A\"7'; DROP--  ");
        editor.OPTION_InvoiceType[2]->setChecked(true);
        editor.TEXT_Payment->setText("12.5");
        editor.TEXT_Unit->setText("7");
        editor.OPTION_Cycle[1]->setChecked(true);
        editor.TEXT_MonthDay->setText("ab");
        editor.HScroll_Grace->setValue(10);
        editor.TEXT_Email->setText(" keep@spaces ");
        editor.COMBO_Class->setCurrentText("Private office");
        editor.TEXT_Comments->setPlainText("two\nlines");
        click(editor, "OK");
        QVERIFY(prompts_->messages.empty());
        QVERIFY(!editor.isVisible());
        QCOMPARE(editor.result(), int(QDialog::Accepted));

        const QString account = "A\"7'; DROP--";
        const QVariantList row = book().profile(account);
        QCOMPARE(row.value(col::AccountNumber).toString(), account);
        QCOMPARE(row.value(col::MasterAccount).toString(), QString(MasterMarker));
        QCOMPARE(row.value(col::Email).toString(), QStringLiteral(" keep@spaces "));
        QCOMPARE(row.value(col::BusinessClass).toString(), QStringLiteral("Private office"));
        QCOMPARE(row.value(col::Comments).toString(), QStringLiteral("two\nlines"));
        QCOMPARE(row.value(col::InvoiceType).toInt(), 2);
        QCOMPARE(row.value(col::PaymentAmount).toDouble(), 12.5);
        QCOMPARE(row.value(col::UnitPrice).toDouble(), 7.0);
        QCOMPARE(row.value(col::BillCycle).toInt(), 1);
        QCOMPARE(row.value(col::Reserved).toInt(), 0);
        QCOMPARE(row.value(col::MonthDay).toString(), QStringLiteral("ab"));
        QCOMPARE(row.value(col::GraceDays).toInt(), 10);
        const auto balance = book().rows(sql::SelectBalance, {account});
        QCOMPARE(balance.size(), size_t(1));
        QCOMPARE(balance[0].value(col::Balance).toDouble(), 0.0);
        QCOMPARE(balance[0].value(col::LastUnitDescription).toString(), QString());
        const QString today = QDate::currentDate().toString(Qt::ISODate);
        QCOMPARE(balance[0].value(col::DateCreated).toString(), today);
        QCOMPARE(balance[0].value(col::DateLastUpdated).toString(), today);
        QCOMPARE(logLines(), QStringList({"Added account# " + account}));
    }

    void anExistingNumberIsRefusedAndNothingWritten() {
        QVERIFY(book().addProfile("1001", MasterMarker, "Abbott Plumbing"));
        frmCustomer editor;
        open(editor);
        fillRequired(editor, " 1001 ");
        editor.SSTab1->setCurrentIndex(1);
        click(editor, "OK");
        QCOMPARE(prompts_->lastMessage(),
                 QStringLiteral("Sorry, the Account Number you have specified already exist."));
        QCOMPARE(prompts_->messages.back().icon, QMessageBox::Warning);
        QCOMPARE(editor.SSTab1->currentIndex(), 0);
        QCOMPARE(editor.focusWidget(), editor.TEXT_AccountNumber);
        QVERIFY(editor.isVisible());
        QCOMPARE(book().profiles(), 1);
        QCOMPARE(book().profile("1001").value(col::CustomerName).toString(),
                 QStringLiteral("Abbott Plumbing"));
        QCOMPARE(book().balanceRows("1001"), 1);
        QCOMPARE(logLines(), QStringList());
    }

    void storedAccountOpensAsStoredWithoutCopyingFromItsMaster() {
        const TestBook rows = book();
        QVERIFY(rows.addProfile("1001", MasterMarker, "Abbott Plumbing", masterBilling()));
        QVERIFY(rows.addProfile("2001", "1001", "Barnes Bakery",
                                {{QString::number(col::PayableTo), "Barnes Ltd"},
                                 {QString::number(col::GraceDays), 3},
                                 {QString::number(col::UnitPrice), 8.5},
                                 {QString::number(col::InvoiceType), 1},
                                 {QString::number(col::RecievingAddress1), "Barnes Yard"}}));
        frmCustomer editor;
        open(editor, "2001");
        QCOMPARE(editor.windowTitle(), QStringLiteral("Customer Profile - [2001]"));
        QCOMPARE(editor.TEXT_AccountNumber->text(), QStringLiteral("2001"));
        QVERIFY(editor.TEXT_AccountNumber->isReadOnly());
        QCOMPARE(editor.COMBO_MasterAccount->currentText(),
                 QStringLiteral("1001, Abbott Plumbing"));
        QVERIFY(editor.COMBO_MasterAccount->isEnabled()); // a linked account may become a master
        QCOMPARE(editor.TEXT_Payable->text(), QStringLiteral("Barnes Ltd"));
        QCOMPARE(editor.TEXT_RecievingAddress[0]->text(), QStringLiteral("Barnes Yard"));
        QCOMPARE(editor.HScroll_Grace->value(), 3);
        QCOMPARE(editor.LABEL_Grace->text(), QStringLiteral("Payment Grace days: 3"));
        QCOMPARE(editor.TEXT_Unit->text(), QStringLiteral("8.50"));
        QVERIFY(editor.OPTION_InvoiceType[1]->isChecked());
        QVERIFY(editor.Toolbar1->button("OK")->isEnabled());
        QVERIFY(editor.Toolbar1->button("Delete")->isEnabled());
        QCOMPARE(editor.focusWidget(), editor.TEXT_Name);

        editor.TEXT_Name->setText("Barnes Bakery and Cafe");
        click(editor, "OK");
        QCOMPARE(book().profiles(), 2);
        QCOMPARE(book().profile("2001").value(col::CustomerName).toString(),
                 QStringLiteral("Barnes Bakery and Cafe"));
        QCOMPARE(book().profile("2001").value(col::PayableTo).toString(),
                 QStringLiteral("Barnes Ltd"));
        QCOMPARE(book().profile("2001").value(col::MasterAccount).toString(),
                 QStringLiteral("1001"));
        QCOMPARE(book().balanceRows("2001"), 1);
        QCOMPARE(logLines(), QStringList({"Edited account# 2001"}));
    }

    void pickingAMasterCopiesItsBillingDetails() {
        QVERIFY(book().addProfile("1001", MasterMarker, "Abbott Plumbing", masterBilling()));
        frmCustomer editor;
        open(editor);
        editor.TEXT_Payable->setText("typed before");
        editor.COMBO_MasterAccount->setFocus();
        editor.COMBO_MasterAccount->setCurrentIndex(0);
        QTest::keyClick(editor.COMBO_MasterAccount, Qt::Key_Down); // the user picks "1001"
        QCOMPARE(editor.COMBO_MasterAccount->currentData().toString(), QStringLiteral("1001"));
        QVERIFY(editor.OPTION_Cycle[1]->isChecked());
        QCOMPARE(editor.TEXT_MonthDay->text(), QStringLiteral("21"));
        QCOMPARE(editor.HScroll_Grace->value(), 12);
        QCOMPARE(editor.LABEL_Grace->text(), QStringLiteral("Payment Grace days: 12"));
        QCOMPARE(editor.TEXT_Payable->text(), QStringLiteral("Abbott Holdings"));
        QStringList receiving;
        for (const QLineEdit* line : editor.TEXT_RecievingAddress)
            receiving << line->text();
        QCOMPARE(receiving,
                 QStringList({"Abbott House", "4 Harbour Road", "Springfield", "SP1 4HR"}));
        QCOMPARE(editor.TEXT_Name->text(), QString()); // nothing else changes
        QCOMPARE(editor.TEXT_BillAddress[0]->text(), QString());

        editor.TEXT_Payable->setText("mine");
        QTest::keyClick(editor.COMBO_MasterAccount, Qt::Key_Up); // back to the marker
        QCOMPARE(editor.COMBO_MasterAccount->currentText(), QString(MasterMarker));
        QCOMPARE(editor.TEXT_Payable->text(), QStringLiteral("mine"));
    }

    void masterIsLockedAndDeletingItTakesItsLinkedAccounts() {
        const TestBook rows = book();
        QVERIFY(rows.addProfile("1001", MasterMarker, "Abbott Plumbing"));
        QVERIFY(rows.addProfile("2001", "1001", "Barnes Bakery"));
        QVERIFY(rows.addProfile("2002", "1001", "Carver Joinery"));
        QVERIFY(rows.addProfile("1002", MasterMarker, "Dalton Dental"));
        QVERIFY(rows.addProfile("2003", "1002", "Ellison Print"));
        QVERIFY(rows.addInvoice("0000001", "1001", QVariant()));
        QVERIFY(rows.addInvoice("0000002", "2001", QDate(2026, 4, 1)));
        QVERIFY(rows.addInvoice("0000003", "2003", QVariant()));
        frmCustomer editor;
        open(editor, "1001");
        QVERIFY(!editor.COMBO_MasterAccount->isEnabled());
        QCOMPARE(editor.COMBO_MasterAccount->currentText(), QString(MasterMarker));

        prompts_->answers = {QMessageBox::No};
        click(editor, "Delete");
        QCOMPARE(prompts_->lastMessage(),
                 QStringLiteral("The customer profile you are about to delete is a master "
                                "account. All other accounts and invoices linked to it will "
                                "also be deleted.\n\nDo you wish to continue?"));
        QCOMPARE(prompts_->messages.back().icon, QMessageBox::Question);
        QCOMPARE(prompts_->messages.back().title, QStringLiteral("Please Confirm"));
        QCOMPARE(prompts_->messages.back().buttons, QMessageBox::Yes | QMessageBox::No);
        QVERIFY(editor.isVisible());
        QCOMPARE(book().profiles(), 5);

        prompts_->answers = {QMessageBox::Yes};
        click(editor, "Delete");
        QVERIFY(!editor.isVisible());
        for (const QString gone : {"1001", "2001", "2002"}) {
            QVERIFY(book().profile(gone).isEmpty());
            QCOMPARE(book().invoicesOf(gone), 0);
            QCOMPARE(book().balanceRows(gone), 0);
        }
        QCOMPARE(book().profiles(), 2);
        QCOMPARE(book().invoicesOf("2003"), 1);
        QCOMPARE(book().balanceRows("1002"), 1);
        QCOMPARE(logLines(), QStringList({"Deleted account# 1001"}));
    }

    void deletingALinkedAccountTakesOnlyItsOwnRows() {
        const TestBook rows = book();
        QVERIFY(rows.addProfile("1001", MasterMarker, "Abbott Plumbing"));
        QVERIFY(rows.addProfile("2001", "1001", "Barnes Bakery"));
        QVERIFY(rows.addInvoice("0000001", "1001", QVariant()));
        QVERIFY(rows.addInvoice("0000002", "2001", QVariant()));
        frmCustomer editor;
        open(editor, "2001");
        prompts_->answers = {QMessageBox::Yes};
        click(editor, "Delete");
        QCOMPARE(prompts_->lastMessage(),
                 QStringLiteral("Are you sure you wish to delete this customer profile and all "
                                "linked invoices?"));
        QVERIFY(book().profile("2001").isEmpty());
        QCOMPARE(book().invoicesOf("2001"), 0);
        QCOMPARE(book().balanceRows("2001"), 0);
        QCOMPARE(book().profiles(), 1);
        QCOMPARE(book().invoicesOf("1001"), 1);
    }

    // The old way replaced a profile by deleting it first: a refused write lost the account.
    void aRefusedSaveChangesNothingAndKeepsTheInput() {
        QVERIFY(book().addProfile("1001", MasterMarker, "Abbott Plumbing"));
        {
            frmCustomer editor;
            open(editor, "1001");
            editor.TEXT_Name->setText("Renamed");
            editor.TEXT_Payment->setText("12,50 EUR");
            click(editor, "OK");
            QVERIFY(prompts_->lastMessage().startsWith("Error saving to database!\n\n"
                                                       "daoWrite_DBTableRecord(), Error = "));
            QCOMPARE(prompts_->messages.back().icon, QMessageBox::Critical);
            QVERIFY(editor.isVisible());
            QCOMPARE(editor.TEXT_Name->text(), QStringLiteral("Renamed"));
            QCOMPARE(book().profile("1001").value(col::CustomerName).toString(),
                     QStringLiteral("Abbott Plumbing"));
        }
        frmCustomer editor;
        open(editor);
        fillRequired(editor, "2001");
        editor.TEXT_Unit->setText("n/a");
        click(editor, "OK");
        QVERIFY(prompts_->lastMessage().startsWith("Error saving to database!"));
        QVERIFY(book().profile("2001").isEmpty());
        QCOMPARE(book().balanceRows("2001"), 0); // the balance row went back with the profile
        QCOMPARE(logLines(), QStringList());
    }

    void anAccountThatIsNotThereCanOnlyBeClosed() {
        frmCustomer editor;
        open(editor, "4711");
        QCOMPARE(prompts_->lastMessage(),
                 QStringLiteral("Account Number [4711] cannot be found in database."));
        QCOMPARE(prompts_->messages.back().icon, QMessageBox::Critical);
        QVERIFY(!editor.Toolbar1->button("OK")->isEnabled());
        QVERIFY(!editor.Toolbar1->button("Delete")->isEnabled());
        QTest::keyClick(editor.TEXT_Name, Qt::Key_S, Qt::AltModifier); // Save is disabled
        QCOMPARE(prompts_->messages.size(), size_t(1));
        QTest::keyClick(editor.TEXT_Name, Qt::Key_E, Qt::AltModifier);
        QVERIFY(!editor.isVisible());
        QCOMPARE(editor.result(), int(QDialog::Rejected));
    }

    void aBookThatCannotBeOpenedClosesTheEditor() {
        Settings().Database = folder_->file("missing.mdb");
        frmCustomer editor;
        open(editor, "1001");
        QVERIFY(prompts_->lastMessage().startsWith(
            "Error opening main database, cannot continue.\n\nOpen connection to "));
        QVERIFY(!editor.isVisible());
    }

    void altLettersAndEscActLikeTheButtons() {
        frmCustomer editor;
        open(editor);
        QTest::keyClick(editor.TEXT_Name, Qt::Key_S, Qt::AltModifier);
        QCOMPARE(prompts_->lastMessage(), QStringLiteral("An Account Number is required."));
        QTest::keyClick(editor.TEXT_Name, Qt::Key_S, Qt::AltModifier | Qt::ControlModifier);
        QCOMPARE(prompts_->messages.size(), size_t(1));
        QTest::keyClick(editor.TEXT_Name, Qt::Key_Escape);
        QVERIFY(!editor.isVisible());
        QCOMPARE(book().profiles(), 0);
    }
};

PELLORY_TEST_MAIN(TestCustomer)
#include "test_customer.moc"
