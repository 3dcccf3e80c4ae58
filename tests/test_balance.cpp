// The account balance window on a real book: what it shows, the payments it stores and the
// last invoice it removes, with the balance right after each.
#include "balances.h"
#include "bookrows.h"
#include "books.h"
#include "booksession.h"
#include "formats.h"
#include "frmBalance.h"
#include "invoices.h"
#include "modCommand.h"
#include "paths.h"
#include "testsupport.h"
#include "windowtoolbar.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSqlDatabase>
#include <QSqlQuery>

namespace {
// Opens the window as the tree does: on an account and one of its invoices.
std::unique_ptr<frmBalance> openOn(const QString& account, const QString& invoice = QString()) {
    auto window = std::make_unique<frmBalance>();
    window->Tag = account;
    window->SelectedInvoice = invoice;
    window->show();
    QCoreApplication::processEvents();
    return window;
}

void click(frmBalance& window, const char* tag) {
    window.Toolbar1->button(QLatin1String(tag))->trigger();
}

QStringList listed(const frmBalance& window) {
    QStringList lines;
    for (int i = 0; i < window.LIST_Invoices->count(); ++i)
        lines << window.LIST_Invoices->item(i)->text();
    return lines;
}

QColor balanceColour(const frmBalance& window) {
    return window.TEXT_Balance->palette().color(QPalette::Text);
}

QString logText() {
    QFile log(LogFilePath());
    return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
}

QVariant balanceOf(const QString& database, const QString& account) {
    return ReadValue(database, sql::SelectBalance, {account}, col::Balance);
}

QVariant invoiceValue(const QString& database, const QString& invoice, int column) {
    return ReadValue(database, sql::SelectInvoice, {invoice}, column);
}

// Runs one statement on the book through a connection of the test's own.
void alterBook(const QString& database, const QString& statement) {
    {
        QSqlDatabase book = QSqlDatabase::addDatabase("QSQLITE", "alter");
        book.setDatabaseName(database);
        QVERIFY(book.open());
        QVERIFY(QSqlQuery(book).exec(statement));
    }
    QSqlDatabase::removeDatabase("alter");
}

const QDate Billed(2026, 3, 5);
} // namespace

class BalanceWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<BookFixture> fixture_;
    QString db_;
    std::vector<MessageRequest>& messages() { return fixture_->prompts.messages; }

    // An account owing 300.00 over three invoices of 100.00 each; the first is paid.
    void addThreeInvoices(const QString& account) {
        QVERIFY(AddAccount(db_, {.account = account, .name = "Ann Smith", .balance = 200}));
        QVERIFY(AddInvoice(db_, {"0000001", account, Billed, Billed, Billed, 0, 100, 100}));
        QVERIFY(AddInvoice(db_, {"0000002", account, Billed, Billed, QVariant(), 0, 100, 0}));
        QVERIFY(AddInvoice(db_, {"0000003", account, Billed, Billed, QVariant(), 100, 200, 0}));
    }

  private slots:
    void init() {
        fixture_ = std::make_unique<BookFixture>();
        db_ = fixture_->folder.database();
    }
    void cleanup() { fixture_.reset(); }

    void opensOnTheSelectedInvoiceInAnyLetterCase() {
        QVERIFY(AddAccount(db_, {.account = "A1", .name = "Ann Smith", .balance = 45.5}));
        QVERIFY(
            AddInvoice(db_, {"INV-10", "A1", Billed, QDate(2026, 3, 20), QVariant(), 12, 57.5, 0}));
        QVERIFY(AddInvoice(db_, {"9", "A1", Billed, Billed, Billed, 0, 12, 12}));
        QVERIFY(AddInvoice(db_, {"10", "A1", Billed, Billed, Billed, 0, 12, 12}));
        auto window = openOn("A1", "inv-10");
        QCOMPARE(window->windowTitle(), QString("Account Balance - [A1]"));
        QCOMPARE(window->LABEL_Name->text(), QString("< Ann Smith"));
        QCOMPARE(listed(*window), QStringList({"9", "10", "INV-10"}));
        QCOMPARE(window->LIST_Invoices->currentItem()->text(), QString("INV-10"));
        QVERIFY(window->SelectedInvoice.isEmpty());
        QCOMPARE(window->TEXT_DateBilled->text(), QString("3/5/2026"));
        QCOMPARE(window->TEXT_DateDue->text(), QString("3/20/2026"));
        QCOMPARE(window->TEXT_PaymentDue->text(), QString("12.00"));
        QCOMPARE(window->TEXT_PaymentBilled->text(), QString("57.50"));
        QCOMPARE(window->TEXT_Balance->text(), QString("45.50"));
        // Unpaid: today is offered as the date received.
        QCOMPARE(window->TEXT_DateRecieved->text(), FormatShortDate(QDate::currentDate()));
        QVERIFY(!window->TEXT_PaymentRecieved->isReadOnly());
        QVERIFY(window->Toolbar1->button("Save")->isEnabled());

        auto unknown = openOn("A1", "0000077");
        QCOMPARE(unknown->LIST_Invoices->currentRow(), -1);
        QVERIFY(unknown->TEXT_PaymentRecieved->isReadOnly());
        QVERIFY(!unknown->Toolbar1->button("Save")->isEnabled());
        QVERIFY(messages().empty());
    }

    void typingTheAmountReceivedMovesTheBalance() {
        QVERIFY(AddAccount(db_, {.account = "A1", .balance = 0}));
        QVERIFY(AddInvoice(db_, {"0000001", "A1", Billed, Billed, Billed, 0, 100, 100}));
        auto window = openOn("A1", "0000001");
        QLineEdit* received = window->TEXT_PaymentRecieved;
        QCOMPARE(balanceColour(*window), window->palette().color(QPalette::WindowText));
        received->setText("0.00");
        QCOMPARE(window->TEXT_Balance->text(), QString("100.00"));
        QCOMPARE(balanceColour(*window), QColor(255, 0, 0));
        received->setText("112.5");
        QCOMPARE(window->TEXT_Balance->text(), QString("-12.50"));
        QCOMPARE(balanceColour(*window), QColor(0, 0, 255));
        for (const char* notANumber : {"abc", "inf", "nan", "1e400"}) {
            received->setText(notANumber);
            QCOMPARE(window->TEXT_Balance->text(), QString("-12.50"));
        }
        received->setText("");
        QCOMPARE(received->text(), QString("0.00"));
        QCOMPARE(window->TEXT_Balance->text(), QString("100.00"));
        received->setText("100");
        QCOMPARE(window->TEXT_Balance->text(), QString("0.00"));
        QCOMPARE(balanceColour(*window), window->palette().color(QPalette::WindowText));
    }

    void checksRunInOrderAndStoreNothing() {
        QVERIFY(AddAccount(db_, {.account = "A1", .balance = 100}));
        QVERIFY(AddInvoice(db_, {"0000001", "A1", Billed, Billed, QVariant(), 0, 100, 0}));
        auto window = openOn("A1", "0000001");
        const auto refused = [&](const QString& message, QWidget* focus) {
            click(*window, "Save");
            QCOMPARE(fixture_->prompts.lastMessage(), message);
            QCOMPARE(messages().back().icon, QMessageBox::Warning);
            QCOMPARE(QApplication::focusWidget(), focus);
        };
        window->TEXT_PaymentRecieved->setText("1e400");
        window->TEXT_DateRecieved->setText("3/4/2026");
        refused("An invalid number was entered for $ Recieved, please correct.",
                window->TEXT_PaymentRecieved);
        window->TEXT_PaymentRecieved->setText("20");
        window->TEXT_DateRecieved->setText("3/32/2026");
        refused("An invalid Date Recieved was entered, please correct.", window->TEXT_DateRecieved);
        window->TEXT_DateRecieved->setText("3/4/2026");
        refused("The Date Recieved cannot be earlier then the Date Prepared, please correct.",
                window->TEXT_DateRecieved);
        QCOMPARE(balanceOf(db_, "A1"), QVariant(100.0));
        QVERIFY(invoiceValue(db_, "0000001", col::DateRecieved).isNull());

        // The same date passes; an empty one is stored as null.
        window->TEXT_DateRecieved->setText("3/5/2026");
        click(*window, "Save");
        QCOMPARE(invoiceValue(db_, "0000001", col::DateRecieved), QVariant("2026-03-05"));
        window->TEXT_DateRecieved->setText("");
        click(*window, "Save");
        QVERIFY(invoiceValue(db_, "0000001", col::DateRecieved).isNull());
    }

    void savedPaymentIsStoredOnceAndTheWindowStays() {
        QVERIFY(AddAccount(db_, {.account = "A1", .balance = 100}));
        QVERIFY(AddInvoice(db_, {"0000001", "A1", Billed, Billed, QVariant(), 0, 100, 0}));
        auto window = openOn("A1", "0000001");
        window->TEXT_PaymentRecieved->setText("60.255");
        window->TEXT_Reference->setText("Chk 2231, \"urgent\"");
        click(*window, "Save");
        QCOMPARE(fixture_->prompts.lastMessage(),
                 QString("Invoice Number [0000001] edits have been saved."));
        QCOMPARE(messages().back().title, QString("Invoice Saved"));
        QCOMPARE(balanceOf(db_, "A1"), QVariant(39.74));
        QCOMPARE(invoiceValue(db_, "0000001", col::AmountRecieved), QVariant(60.26));
        QCOMPARE(invoiceValue(db_, "0000001", col::DateRecieved),
                 QVariant(QDate::currentDate().toString(Qt::ISODate)));
        QCOMPARE(invoiceValue(db_, "0000001", col::CheckNumber), QVariant("Chk 2231, \"urgent\""));
        QCOMPARE(invoiceValue(db_, "0000001", col::AmountBilled), QVariant(100.0));
        QVERIFY(logText().contains(", Edited invoice# 0000001, recieved$ 60.26\r\n"));
        QVERIFY(window->isVisible());
        QCOMPARE(window->LIST_Invoices->currentItem()->text(), QString("0000001"));
        QCOMPARE(window->TEXT_Balance->text(), QString("39.74"));

        click(*window, "Save");
        QCOMPARE(balanceOf(db_, "A1"), QVariant(39.74));
        window->TEXT_PaymentRecieved->setText("100");
        QCOMPARE(window->TEXT_Balance->text(), QString("0.00"));
        click(*window, "Save");
        QCOMPARE(balanceOf(db_, "A1"), QVariant(0.0));
    }

    void accountChangedElsewhereIsToldBeforeSaving() {
        QVERIFY(AddAccount(db_, {.account = "A1", .balance = 100}));
        QVERIFY(AddInvoice(db_, {"0000001", "A1", Billed, Billed, QVariant(), 0, 100, 0}));
        auto window = openOn("A1", "0000001");
        // Meanwhile another desk bills the account 40.00 more.
        QVERIFY(AddInvoice(db_, {"0000002", "A1", Billed, Billed, QVariant(), 100, 140, 0}));
        alterBook(db_, "UPDATE tbl_Logs SET Balance = 140 WHERE AccountNumber = 'A1'");
        window->TEXT_PaymentRecieved->setText("100");
        fixture_->prompts.answers = {QMessageBox::No};
        click(*window, "Save");
        QVERIFY(fixture_->prompts.lastMessage().startsWith(
            "Another desk changed account A1 since this window read it."));
        QCOMPARE(balanceOf(db_, "A1"), QVariant(140.0));
        QCOMPARE(window->TEXT_PaymentRecieved->text(), QString("100"));

        fixture_->prompts.answers = {QMessageBox::Yes};
        click(*window, "Save");
        QCOMPARE(balanceOf(db_, "A1"), QVariant(140.0));
        QCOMPARE(window->TEXT_Balance->text(), QString("140.00"));
        QCOMPARE(window->LIST_Invoices->currentItem()->text(), QString("0000001"));
        window->TEXT_PaymentRecieved->setText("100");
        click(*window, "Save");
        QCOMPARE(balanceOf(db_, "A1"), QVariant(40.0));
        QCOMPARE(window->TEXT_Balance->text(), QString("40.00"));
    }

    void failedInsertChangesNothing() {
        QVERIFY(AddAccount(db_, {.account = "A1", .balance = 100}));
        QVERIFY(AddInvoice(db_, {"0000001", "A1", Billed, Billed, QVariant(), 0, 100, 0}));
        alterBook(db_, "CREATE TRIGGER refuse BEFORE INSERT ON tbl_Invoices "
                       "BEGIN SELECT RAISE(ABORT, 'refused'); END");
        auto window = openOn("A1", "0000001");
        window->TEXT_PaymentRecieved->setText("100");
        click(*window, "Save");
        QVERIFY2(fixture_->prompts.lastMessage().startsWith("Error saving to database!\n\n"),
                 qPrintable(fixture_->prompts.lastMessage()));
        QVERIFY(fixture_->prompts.lastMessage().contains("refused"));
        QCOMPARE(messages().back().icon, QMessageBox::Critical);
        QCOMPARE(balanceOf(db_, "A1"), QVariant(100.0));
        QCOMPARE(invoiceValue(db_, "0000001", col::AmountRecieved), QVariant(0.0));

        // A removal the book refuses leaves the balance it would have rolled back.
        alterBook(db_, "CREATE TRIGGER keep BEFORE DELETE ON tbl_Invoices "
                       "BEGIN SELECT RAISE(ABORT, 'kept'); END");
        fixture_->prompts.answers = {QMessageBox::Yes};
        click(*window, "Delete");
        QVERIFY(fixture_->prompts.lastMessage().startsWith(
            "Invoice Number [0000001] was not deleted; the invoice and the balance are as they "
            "were.\n\n"));
        QVERIFY(fixture_->prompts.lastMessage().contains("kept"));
        QCOMPARE(messages().back().icon, QMessageBox::Critical);
        QCOMPARE(balanceOf(db_, "A1"), QVariant(100.0));
        QCOMPARE(CountRows(db_, sql::SelectAllInvoices), 1);
        QVERIFY(logText().isEmpty());
    }

    void onlyTheLastInvoiceIsDeletedAndOtherPaymentsStay() {
        addThreeInvoices("A1");
        auto window = openOn("A1", "0000002");
        click(*window, "Delete");
        QCOMPARE(fixture_->prompts.lastMessage(),
                 QString("Sorry, only the last invoice created can be deleted.\n\nThe last "
                         "invoice in this list is [0000003]"));
        QCOMPARE(CountRows(db_, sql::SelectAllInvoices), 3);

        // A payment on the second invoice after the third was made stays in the balance.
        window->TEXT_PaymentRecieved->setText("30");
        click(*window, "Save");
        QCOMPARE(balanceOf(db_, "A1"), QVariant(170.0));
        QDir backup(ProgramFile("backup"));
        for (const char* name : {"inv0000003.xls", "INV0000003.XLS", "Inv0000003.pdf",
                                 "inv0000003.PDF", "Inv0000002.xls", "Inv0000002.pdf"})
            QFile(backup.filePath(name)).open(QIODevice::WriteOnly);
        window->LIST_Invoices->setCurrentRow(2);
        fixture_->prompts.answers = {QMessageBox::No};
        click(*window, "Delete");
        QCOMPARE(fixture_->prompts.lastMessage(),
                 QString("Are you sure you want to delete Invoice Number [0000003] from the "
                         "system? (the account balance will also be adjusted)"));
        QCOMPARE(CountRows(db_, sql::SelectAllInvoices), 3);
        fixture_->prompts.answers = {QMessageBox::Yes};
        click(*window, "Delete");
        QCOMPARE(balanceOf(db_, "A1"), QVariant(70.0));
        QCOMPARE(listed(*window), QStringList({"0000001", "0000002"}));
        QCOMPARE(window->TEXT_Balance->text(), QString("70.00"));
        QCOMPARE(backup.entryList(QDir::Files), QStringList({"Inv0000002.pdf", "Inv0000002.xls"}));
        QVERIFY(logText().contains(", Deleted invoice# 0000003\r\n"));

        // The payment recorded on a deleted invoice goes with it.
        window->LIST_Invoices->setCurrentRow(1);
        fixture_->prompts.answers = {QMessageBox::Yes};
        click(*window, "Delete");
        QCOMPARE(balanceOf(db_, "A1"), QVariant(0.0));
        QCOMPARE(backup.entryList(QDir::Files), QStringList());
    }

    void invoiceCreatedSinceListingIsTheLastOne() {
        addThreeInvoices("A1");
        auto window = openOn("A1", "0000003");
        QVERIFY(AddInvoice(db_, {"0000004", "A1", Billed, Billed, QVariant(), 200, 250, 0}));
        fixture_->prompts.answers = {QMessageBox::Yes};
        click(*window, "Delete");
        QVERIFY(fixture_->prompts.lastMessage().startsWith(
            "Invoice Number [0000003] was not deleted: invoice [0000004] was created"));
        QCOMPARE(CountRows(db_, sql::SelectAllInvoices), 4);
        QCOMPARE(balanceOf(db_, "A1"), QVariant(200.0));
        QCOMPARE(listed(*window).last(), QString("0000004"));
    }

    void deletingTheOnlyInvoiceLeavesNoActivity() {
        QVERIFY(AddAccount(db_, {.account = "A1", .balance = 80}));
        QVERIFY(AddInvoice(db_, {"0000001", "A1", Billed, Billed, QVariant(), 0, 80, 0}));
        auto window = openOn("A1", "0000001");
        fixture_->prompts.answers = {QMessageBox::Yes};
        click(*window, "Delete");
        QCOMPARE(fixture_->prompts.lastMessage(),
                 QString("There is no activity for the account specified (no invoices)."));
        QCOMPARE(messages().back().title, QString("Nothing to Balance"));
        QCOMPARE(balanceOf(db_, "A1"), QVariant(0.0));
        QCOMPARE(window->LIST_Invoices->count(), 0);
        QVERIFY(!window->Toolbar1->button("Delete")->isEnabled());
    }

    // Invoices that cannot be read are not "no activity".
    void aFailedReadIsToldAsIncomplete() {
        addThreeInvoices("A1");
        alterBook(db_, "ALTER TABLE tbl_Invoices RENAME COLUMN AccountNumber TO Gone");
        auto window = openOn("A1");
        QCOMPARE(messages().size(), std::size_t(1));
        QVERIFY2(messages()[0].text.startsWith("Error reading main database: The invoices of "
                                               "account A1 could not be read, so what is shown "
                                               "is incomplete."),
                 qPrintable(messages()[0].text));
        QCOMPARE(window->LIST_Invoices->count(), 0);
        QVERIFY(!window->Toolbar1->button("Save")->isEnabled());
    }

    // A window left open shows what another window stores meanwhile, keeping the invoice
    // chosen; one whose user is typing a payment keeps what was typed.
    void anOpenWindowFollowsTheBook() {
        addThreeInvoices("A1");
        auto window = openOn("A1", "0000002");
        InvoiceRecord invoice;
        invoice.InvoiceNumber = "0000004";
        invoice.AccountNumber = "A1";
        invoice.DateBilled = Billed;
        invoice.DateDue = Billed;
        invoice.AmountRecieved = 0.0;
        {
            BookSession session(db_);
            QVERIFY(CreateInvoice(invoice, 50.0, "Hours").ok());
        }
        QTRY_COMPARE(listed(*window), QStringList({"0000001", "0000002", "0000003", "0000004"}));
        QCOMPARE(window->TEXT_Balance->text(), QString("250.00"));
        QCOMPARE(window->LIST_Invoices->currentItem()->text(), QString("0000002"));

        QTest::keyClicks(window->TEXT_Reference, "chk 9");
        invoice.InvoiceNumber = "0000005";
        {
            BookSession session(db_);
            QVERIFY(CreateInvoice(invoice, 50.0, "Hours").ok());
        }
        QTest::qWait(100);
        QCOMPARE(window->TEXT_Reference->text(), QString("chk 9"));
        QCOMPARE(window->LIST_Invoices->count(), 4);
        QVERIFY(messages().empty());
    }

    void withoutAnAccountEveryAccountIsOffered() {
        QVERIFY(AddAccount(db_, {.account = "A1"}));
        QVERIFY(AddAccount(db_, {.account = "B2", .balance = 12}));
        QVERIFY(AddInvoice(db_, {"0000001", "B2", Billed, Billed, QVariant(), 0, 12, 0}));
        auto window = openOn(QString());
        QCOMPARE(window->COMBO_AccountNumber->count(), 2);
        QCOMPARE(window->LIST_Invoices->count(), 0);
        window->COMBO_AccountNumber->setCurrentIndex(1);
        QCOMPARE(listed(*window), QStringList({"0000001"}));
        QCOMPARE(window->TEXT_Balance->text(), QString("12.00"));
        QVERIFY(messages().empty());
    }
};

PELLORY_TEST_MAIN(BalanceWindowTest)
#include "test_balance.moc"
