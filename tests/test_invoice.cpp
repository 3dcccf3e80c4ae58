// The create-invoice window up to the point of saving: proposals, charges and checks.
#include "balances.h"
#include "books.h"
#include "booksession.h"
#include "booktesting.h"
#include "columns.h"
#include "frmInvoice.h"
#include "invoicelines.h"
#include "modRegEdit.h"
#include "settings.h"
#include "settingvalues.h"
#include "testbook.h"
#include "testsupport.h"
#include "windowtoolbar.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QToolBar>

namespace {
// A window loaded for an account, as the main window opens it.
std::unique_ptr<frmInvoice> openOn(const QString& account, const QString& billed = QString()) {
    auto window = std::make_unique<frmInvoice>();
    window->Tag = account;
    if (!billed.isEmpty())
        window->TEXT_DateBilled->setText(billed);
    window->show();
    QApplication::processEvents();
    return window;
}
} // namespace

class InvoiceWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        folder = std::make_unique<ProgramFolderFixture>();
        LoadSettings();
    }
    void cleanup() { folder.reset(); }

    void proposesTheNextNumber() {
        QVERIFY(AddAccount(folder->database(), {.account = "A1", .name = "Ann Smith"}));
        auto window = openOn("A1");
        QCOMPARE(window->TEXT_Invoice->text(), QString("0000001"));
        QCOMPARE(window->windowTitle(), QString("Create Invoice - [0000001]"));
        QCOMPARE(window->LABEL_Name->text(), QString("< Ann Smith"));
        QCOMPARE(window->TEXT_Payable->text(), QString("Pellory Services"));
        QCOMPARE(window->TEXT_Message[0]->text(),
                 QString("Please send payment promply on or before due date."));

        QCOMPARE(regSet_KeyValue(HKEY_LOCAL_MACHINE, MainSettingsKey, setting::LastInvoice, 41), 0);
        window = openOn("A1");
        QCOMPARE(window->TEXT_Invoice->text(), QString("0000042"));
        // The due date the account's grace days give, past the weekend.
        QVERIFY(AddAccount(folder->database(), {.account = "G1", .graceDays = 1}));
        QCOMPARE(openOn("G1", "12/4/2026")->TEXT_DateDue->text(), QString("12/7/2026"));
    }

    void chargesFollowTheInvoiceType() {
        QVERIFY(AddAccount(folder->database(), {.account = "T0", .invoiceType = 0}));
        QVERIFY(
            AddAccount(folder->database(), {.account = "T1", .invoiceType = 1, .fixedAmount = 55}));
        QVERIFY(
            AddAccount(folder->database(), {.account = "T2", .invoiceType = 2, .unitPrice = 40}));

        auto typed = openOn("T0");
        QCOMPARE(typed->TEXT_Payment->text(), QString("0.00"));
        QVERIFY(typed->TEXT_Units->isReadOnly());

        QCOMPARE(openOn("T1")->TEXT_Payment->text(), QString("55.00"));

        auto units = openOn("T2");
        QVERIFY(!units->TEXT_Units->isReadOnly());
        QCOMPARE(units->TEXT_Units->text(), QString("0"));
        units->TEXT_Units->setText("2.5");
        QCOMPARE(units->TEXT_Payment->text(), QString("100.00"));
        units->TEXT_Units->setText("abc");
        QCOMPARE(units->TEXT_Payment->text(), QString("100.00"));
        units->TEXT_Units->setText("");
        QCOMPARE(units->TEXT_Payment->text(), QString("0.00"));
        units->TEXT_Payment->setText("  ");
        QCOMPARE(units->TEXT_Payment->text(), QString("0.00"));
    }

    void previousBalanceAndDescriptionComeFromTheBalanceRow() {
        QVERIFY(AddAccount(folder->database(),
                           {.account = "B1", .balance = 25, .lastDescription = "Hours on site"}));
        QVERIFY(TestBook(folder->database()).addProfile("B2", MasterMarker, "No Balance Row"));
        auto window = openOn(QString());
        window->COMBO_AccountNumber->setCurrentText("B1");
        QCOMPARE(window->TEXT_Balance->text(), QString("25.00"));
        QCOMPARE(window->COMBO_Description->currentText(), QString("Hours on site"));
        // The next account chosen keeps nothing of this one's figures.
        window->COMBO_AccountNumber->setCurrentText("B2");
        QCOMPARE(window->LABEL_Name->text(), QString("< No Balance Row"));
        QCOMPARE(window->TEXT_Balance->text(), QString("0.00"));
        QCOMPARE(window->COMBO_Description->currentText(), QString());
    }

    void unknownAccountDisablesTheCommands() {
        QVERIFY(AddAccount(folder->database(), {.account = "K1"}));
        auto window = openOn("nobody");
        QVERIFY(!ToolbarAction(window.get(), 3)->isEnabled());
        QVERIFY(!ToolbarAction(window.get(), 4)->isEnabled());
        QCOMPARE(window->TEXT_Invoice->text(), QString());

        auto chooser = openOn(QString());
        QCOMPARE(chooser->COMBO_AccountNumber->count(), 1);
        chooser->COMBO_AccountNumber->setCurrentText("K1");
        QVERIFY(ToolbarAction(chooser.get(), 3)->isEnabled());
        QCOMPARE(chooser->TEXT_Invoice->text(), QString("0000001"));
    }

    void invoiceNumberIsRewrittenWhenLeft() {
        QVERIFY(AddAccount(folder->database(), {.account = "N1"}));
        PromptRecorder prompts;
        auto window = openOn("N1");
        window->activateWindow();
        window->TEXT_Invoice->setFocus();
        window->TEXT_Invoice->setText("17");
        window->TEXT_Payable->setFocus();
        QCOMPARE(window->TEXT_Invoice->text(), QString("0000017"));
        QVERIFY(prompts.messages.empty());
        window->TEXT_Invoice->setFocus();
        window->TEXT_Invoice->setText("12ab");
        window->TEXT_Payable->setFocus();
        QCOMPARE(prompts.lastMessage(),
                 QString("An invalid Invoice Number was entered, please correct."));
        QCOMPARE(QApplication::focusWidget(), window->TEXT_Invoice);
    }

    void commandsNormaliseTheNumberTheyStore() {
        QVERIFY(
            AddAccount(folder->database(), {.account = "S1", .invoiceType = 1, .fixedAmount = 5}));
        QVERIFY(AddInvoice(folder->database(), {.number = "0000017", .account = "S1"}));
        Settings().Worksheet = folder->file("missing.xls"); // no office: printing fails at once
        PromptRecorder prompts;
        prompts.answers = {QMessageBox::Yes};
        auto window = openOn("S1");
        window->COMBO_Description->setCurrentText("Hours");
        // Typed, then saved by key: the field never loses the focus.
        window->TEXT_Invoice->setText("17");
        ToolbarAction(window.get(), 3)->trigger();
        QVERIFY(prompts.lastMessage().startsWith(
            QString("The invoice number already exist, cannot continue")));
        QCOMPARE(CountRows(folder->database(), "SELECT * FROM tbl_Invoices"), 1);

        prompts.messages.clear();
        prompts.answers = {QMessageBox::Yes};
        window = openOn("S1");
        window->COMBO_Description->setCurrentText("Hours");
        window->TEXT_Invoice->setText("41.4");
        ToolbarAction(window.get(), 3)->trigger();
        QCOMPARE(ReadValue(folder->database(),
                           "SELECT * FROM tbl_Invoices WHERE AccountNumber = ? "
                           "AND InvoiceNumber <> '0000017'",
                           {"S1"}, 0),
                 QVariant("0000041"));

        window = openOn("S1");
        window->TEXT_Invoice->setText("12345678901234567890");
        prompts.messages.clear();
        ToolbarAction(window.get(), 4)->trigger();
        QCOMPARE(prompts.lastMessage(),
                 QString("An invalid Invoice Number was entered, please correct."));
        QCOMPARE(prompts.messages.size(), std::size_t(1)); // refused before the blank notice
    }

    // The account's rate is proposed; a further line that is not right is refused before anything
    // is stored, and the lines go into the book with the invoice.
    void taxAndFurtherLinesReachTheBook() {
        QVERIFY(
            AddAccount(folder->database(), {.account = "T1", .invoiceType = 1, .fixedAmount = 50}));
        {
            const BookSession session(folder->database());
            QVERIFY(SaveTaxRates({{"VAT 20 %", 20}}).ok());
            QVERIFY(SetAccountTaxName("T1", "VAT 20 %").ok());
        }
        Settings().Worksheet = folder->file("missing.xls");
        PromptRecorder prompts;
        auto window = openOn("T1");
        window->COMBO_Description->setCurrentText("Hours");
        QCOMPARE(window->COMBO_Tax->currentText(), QString("VAT 20 %"));
        window->BUTTON_AddLine->click();
        qobject_cast<QComboBox*>(window->TABLE_Lines->cellWidget(0, 0))->setCurrentText("Parts");
        window->TABLE_Lines->item(0, 1)->setText("2");
        window->TABLE_Lines->item(0, 2)->setText("ten");
        ToolbarAction(window.get(), 3)->trigger();
        QCOMPARE(prompts.lastMessage(),
                 QString("An invalid number was entered for the Rate on line 2, please correct."));
        QCOMPARE(CountRows(folder->database(), "SELECT * FROM tbl_Invoices"), 0);

        window->TABLE_Lines->item(0, 2)->setText("12.50");
        QVERIFY(window->LABEL_Totals->text().contains("VAT 20 % 15.00"));
        prompts.answers = {QMessageBox::Yes};
        ToolbarAction(window.get(), 3)->trigger();
        QVERIFY(prompts.messages.at(1).text.contains(
            "\nNet: 75.00\nVAT 20 %: 15.00\nNew Charges: 90.00"));
        const BookSession session(folder->database());
        QCOMPARE(Must(LinesOfInvoice(Must(ReadAccountInvoices("T1")).at(0))).size(), size_t(2));
    }

    // The order of the checks is the book's; the window puts the focus where the user must
    // mend, and shows blank units as zero.
    void aRefusedCheckFocusesItsField() {
        QVERIFY(AddAccount(folder->database(), {.account = "V1", .invoiceType = 0}));
        PromptRecorder prompts;
        auto w = openOn("V1");
        w->COMBO_Description->setCurrentText("Hours");
        w->TEXT_Payable->setText(" ");
        QVERIFY(!w->ValidateInvoice());
        QCOMPARE(prompts.lastMessage(), QString("Please enter a value for Check Payable To."));
        QCOMPARE(QApplication::focusWidget(), w->TEXT_Payable);
        w->TEXT_Payable->setText("Me");
        w->TEXT_Units->setText(" ");
        prompts.messages.clear();
        QVERIFY(w->ValidateInvoice());
        QVERIFY(prompts.messages.empty());
        QCOMPARE(w->TEXT_Units->text(), QString("0"));
    }

  private:
    static QAction* ToolbarAction(frmInvoice* window, int position) {
        return window->Toolbar1->actions().at(position - 1);
    }

    std::unique_ptr<ProgramFolderFixture> folder;
};

PELLORY_TEST_MAIN(InvoiceWindowTest)
#include "test_invoice.moc"
