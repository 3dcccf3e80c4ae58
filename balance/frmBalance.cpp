#include "frmBalance.h"

#include "accountreading.h"
#include "balances.h"
#include "bookaccess.h"
#include "bookchanges.h"
#include "eventpacer.h"
#include "formats.h"
#include "prompts.h"
#include "settings.h"
#include "windowkeys.h"
#include "windowparts.h"
#include "windowtoolbar.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QStyle>
#include <QVBoxLayout>
#include <utility>

namespace {
const QString HelpText = QStringLiteral("Use this form to manage your customer account balance.  "
                                        "Account balance is derived from paid invoices.");

QLineEdit* addField(QGridLayout* grid, int row, int column, const QString& label,
                    const char* name) {
    auto* field = new QLineEdit;
    field->setObjectName(QLatin1String(name));
    field->setReadOnly(true);
    grid->addWidget(new QLabel(label), row, column);
    grid->addWidget(field, row, column + 1);
    return field;
}

void setTextColour(QWidget* field, const QColor& colour) {
    QPalette palette = field->palette();
    palette.setColor(QPalette::Text, colour);
    field->setPalette(palette);
}
} // namespace

frmBalance::frmBalance(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmBalance"));
    setWindowTitle(QStringLiteral("Account Balance"));
    buildWindow();
}

void frmBalance::buildWindow() {
    auto* layout = new QVBoxLayout(this);
    Toolbar1 = BuildDialogToolbar(this);
    Toolbar1->addSeparator();
    Toolbar1->addButton(QStringLiteral("&Save"), QStringLiteral("Save"),
                        QStringLiteral("Save Invoice Edits"),
                        style()->standardIcon(QStyle::SP_DialogSaveButton));
    Toolbar1->addSeparator();
    Toolbar1->addButton(QStringLiteral("&Delete"), QStringLiteral("Delete"),
                        QStringLiteral("Delete Last Invoice"),
                        style()->standardIcon(QStyle::SP_TrashIcon));
    connect(Toolbar1, &WindowToolbar::commandTriggered, this, &frmBalance::dispatchCommand);
    layout->addWidget(Toolbar1);
    LABEL_Help = BuildHelpStrip(this, HelpText);
    layout->addWidget(LABEL_Help->parentWidget());

    auto* accountRow = new QHBoxLayout;
    COMBO_AccountNumber = new QComboBox;
    COMBO_AccountNumber->setObjectName(QStringLiteral("COMBO_AccountNumber"));
    COMBO_AccountNumber->setMinimumContentsLength(16);
    LABEL_Name = new QLabel;
    LABEL_Name->setObjectName(QStringLiteral("LABEL_Name"));
    accountRow->addWidget(new QLabel(QStringLiteral("Account Number")));
    accountRow->addWidget(COMBO_AccountNumber);
    accountRow->addWidget(LABEL_Name, 1);
    layout->addLayout(accountRow);

    auto* body = new QHBoxLayout;
    auto* invoices = new QVBoxLayout;
    invoices->addWidget(new QLabel(QStringLiteral("Related Invoices (click one)")));
    LIST_Invoices = new QListWidget;
    LIST_Invoices->setObjectName(QStringLiteral("LIST_Invoices"));
    LIST_Invoices->setMaximumWidth(LIST_Invoices->fontMetrics().horizontalAdvance('0') * 18);
    invoices->addWidget(LIST_Invoices);
    body->addLayout(invoices);
    body->addLayout(buildInvoiceFields(), 1);
    layout->addLayout(body, 1);

    connect(COMBO_AccountNumber, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!loading_ && index >= 0)
            LoadAccount(COMBO_AccountNumber->currentText());
    });
    connect(LIST_Invoices, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            selectInvoice(LIST_Invoices->item(row)->text());
    });
    connect(TEXT_PaymentRecieved, &QLineEdit::textChanged, this, &frmBalance::recomputeBalance);
    for (QLineEdit* entry : {TEXT_DateRecieved, TEXT_PaymentRecieved, TEXT_Reference})
        connect(entry, &QLineEdit::textEdited, this, [this] { editsPending_ = true; });
    connect(&BookChangeAnnouncer(), &BookChanges::changed, this, &frmBalance::bookChanged);
    resetFields();
}

QLayout* frmBalance::buildInvoiceFields() {
    auto* grid = new QGridLayout;
    TEXT_DateBilled = addField(grid, 0, 0, QStringLiteral("Date Billed:"), "TEXT_DateBilled");
    TEXT_DateDue = addField(grid, 1, 0, QStringLiteral("Date Due:"), "TEXT_DateDue");
    TEXT_DateRecieved = addField(grid, 2, 0, QStringLiteral("Date Recieved:"), "TEXT_DateRecieved");
    TEXT_PaymentDue = addField(grid, 0, 2, QStringLiteral("$ Due:"), "TEXT_PaymentDue");
    TEXT_PaymentBilled = addField(grid, 1, 2, QStringLiteral("$ Billed:"), "TEXT_PaymentBilled");
    TEXT_PaymentRecieved =
        addField(grid, 2, 2, QStringLiteral("$ Recieved:"), "TEXT_PaymentRecieved");
    TEXT_Reference = addField(grid, 3, 0, QStringLiteral("Check Number:"), "TEXT_Reference");
    TEXT_Reference->setMaxLength(50);
    TEXT_Balance = addField(grid, 5, 2, QStringLiteral("$ Balance"), "TEXT_Balance");
    QFont bold = TEXT_Balance->font();
    bold.setBold(true);
    TEXT_Balance->setFont(bold);
    for (QLineEdit* money :
         {TEXT_PaymentDue, TEXT_PaymentBilled, TEXT_PaymentRecieved, TEXT_Balance})
        money->setAlignment(Qt::AlignRight);
    for (QLineEdit* entry : {TEXT_DateRecieved, TEXT_PaymentRecieved, TEXT_Reference})
        SelectAllOnFocus(entry);
    grid->setRowMinimumHeight(4, 12);
    grid->setRowStretch(6, 1);
    grid->setColumnMinimumWidth(1, 110);
    grid->setColumnMinimumWidth(3, 110);
    return grid;
}

void frmBalance::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    LoadOnFirstShow(this, Activated, [this] { firstActivation(); });
}

void frmBalance::firstActivation() {
    if (Tag.isEmpty()) {
        LoadAccount(QString());
        return;
    }
    loading_ = true;
    COMBO_AccountNumber->clear();
    COMBO_AccountNumber->addItem(Tag);
    COMBO_AccountNumber->setCurrentIndex(0);
    loading_ = false;
    LoadAccount(Tag);
}

void frmBalance::setPaymentFieldsEditable(bool editable) {
    for (QLineEdit* entry : {TEXT_DateRecieved, TEXT_PaymentRecieved, TEXT_Reference}) {
        entry->setReadOnly(!editable);
        ShowAsEntryField(entry, editable);
    }
}

void frmBalance::resetFields() {
    loading_ = true;
    LIST_Invoices->clear();
    ShowAsEntryField(LIST_Invoices, false);
    for (QLineEdit* field :
         {TEXT_DateBilled, TEXT_DateDue, TEXT_PaymentDue, TEXT_PaymentBilled, TEXT_Balance})
        ShowAsEntryField(field, false);
    setPaymentFieldsEditable(false);
    LABEL_Name->clear();
    showBalance(0.0);
    for (QLineEdit* money : {TEXT_PaymentDue, TEXT_PaymentBilled, TEXT_PaymentRecieved})
        money->setText(QStringLiteral("0.00"));
    for (QLineEdit* text : {TEXT_DateBilled, TEXT_DateDue, TEXT_DateRecieved, TEXT_Reference})
        text->clear();
    Toolbar1->button(QStringLiteral("Save"))->setEnabled(false);
    Toolbar1->button(QStringLiteral("Delete"))->setEnabled(false);
    loading_ = false;
    editsPending_ = false;
}

void frmBalance::LoadAccount(const QString& accountNumber) {
    loadAccount(accountNumber, false);
}

// A reload after the book changed elsewhere keeps the invoice chosen and tells nothing twice.
void frmBalance::loadAccount(const QString& accountNumber, bool reloading) {
    baseBalance_ = 0.0;
    resetFields();
    shownAccount_.clear();
    LetEventsRun();
    const QString openFailed = QStringLiteral("Error opening main database, cannot continue.\n\n");
    if (accountNumber.isEmpty()) {
        const auto numbers = ReadAccountList(this, openFailed);
        if (!numbers) {
            closeWindow();
            return;
        }
        fillAccountList(*numbers);
        return;
    }
    // Closed before anything is asked or selected: selecting an invoice opens its own.
    const auto activity = ReadFromBook<AccountActivity>(
        this, openFailed, [&] { return ReadAccountActivity(accountNumber); });
    if (!activity) {
        closeWindow();
        return;
    }
    setWindowTitle("Account Balance - [" + accountNumber + "]");
    if (!activity->ok()) {
        // Not "no activity": the invoices are there, they could not be read.
        ShowIncompleteRead(this, "The invoices of account " + accountNumber, activity->failure());
        return;
    }
    shownAccount_ = accountNumber;
    showActivity(activity->value());
    const QString wanted = std::exchange(SelectedInvoice, QString());
    if (LIST_Invoices->count() == 0) {
        if (!reloading)
            ShowMessage(
                this,
                QStringLiteral("There is no activity for the account specified (no invoices)."),
                QMessageBox::Warning, QMessageBox::Ok, QStringLiteral("Nothing to Balance"));
        return;
    }
    ShowAsEntryField(LIST_Invoices, true);
    for (int row = 0; !wanted.isEmpty() && row < LIST_Invoices->count(); ++row) {
        if (LIST_Invoices->item(row)->text().toUpper() == wanted.toUpper()) {
            LIST_Invoices->setCurrentRow(row);
            break;
        }
    }
}

void frmBalance::showActivity(const AccountActivity& activity) {
    if (!activity.name.isEmpty())
        LABEL_Name->setText("< " + activity.name);
    EventPacer pacer;
    for (const QString& number : activity.invoices) {
        LIST_Invoices->addItem(number);
        pacer.letEventsRun();
    }
    baseBalance_ = activity.balance;
    showBalance(baseBalance_);
}

void frmBalance::fillAccountList(const QStringList& numbers) {
    loading_ = true;
    COMBO_AccountNumber->clear();
    COMBO_AccountNumber->addItems(numbers);
    COMBO_AccountNumber->setCurrentIndex(-1);
    loading_ = false;
}

// What the window shows was read before the book changed: read it again, unless the user is
// entering a payment, which would be lost; saving it reads the stored figures anyway.
void frmBalance::bookChanged() {
    if (shownAccount_.isEmpty() || editsPending_)
        return;
    SelectedInvoice = selectedLine();
    const QString account = shownAccount_; // loading clears it first
    loadAccount(account, true);
}

void frmBalance::selectInvoice(const QString& number) {
    if (LIST_Invoices->count() == 0)
        return;
    setPaymentFieldsEditable(true);
    Toolbar1->button(QStringLiteral("Save"))->setEnabled(true);
    Toolbar1->button(QStringLiteral("Delete"))->setEnabled(true);
    reading_.reset();
    const auto figures =
        ReadFromBook<AccountReading>(this, QStringLiteral("Error opening main database.\n\n"),
                                     [&] { return ReadFiguresAsStored(shownAccount_, number); });
    if (!figures)
        return;
    if (!figures->ok()) {
        ShowIncompleteRead(this, "Invoice " + number, figures->failure());
        return;
    }
    // The balance is shown as read with the invoice, so that a save can tell whether either
    // changed since.
    reading_ = figures->value();
    baseBalance_ = reading_->balance ? reading_->balance->Balance.value_or(0.0) : 0.0;
    showBalance(baseBalance_);
    loading_ = true;
    if (reading_->stored)
        showInvoice(*reading_->stored);
    loading_ = false;
    editsPending_ = false;
    TEXT_DateRecieved->setFocus();
}

void frmBalance::showInvoice(const InvoiceRecord& invoice) {
    TEXT_DateBilled->setText(FormatShortDate(invoice.DateBilled));
    TEXT_Reference->setText(invoice.CheckNumber);
    TEXT_DateDue->setText(FormatShortDate(invoice.DateDue));
    TEXT_DateRecieved->setText(FormatShortDate(invoice.DateRecieved));
    if (TEXT_DateRecieved->text().isEmpty())
        TEXT_DateRecieved->setText(FormatShortDate(QDate::currentDate()));
    TEXT_PaymentDue->setText(FormatMoney(invoice.PastDue.value_or(0.0)));
    TEXT_PaymentBilled->setText(FormatMoney(invoice.AmountBilled.value_or(0.0)));
    receivedBeforeEdit_ = invoice.AmountRecieved.value_or(0.0);
    TEXT_PaymentRecieved->setText(FormatMoney(receivedBeforeEdit_));
}

void frmBalance::recomputeBalance(const QString& received) {
    if (loading_)
        return;
    if (received.trimmed().isEmpty()) {
        // The replacement is itself a change and recomputes.
        TEXT_PaymentRecieved->setText(QStringLiteral("0.00"));
        TEXT_PaymentRecieved->selectAll();
        return;
    }
    if (const auto amount = ParseMoney(received))
        showBalance(BalanceAfterPayment(baseBalance_, receivedBeforeEdit_, *amount));
}

void frmBalance::showBalance(double balance) {
    const double shown = RoundCents(balance);
    TEXT_Balance->setText(FormatMoney(shown));
    setTextColour(TEXT_Balance, shown > 0   ? QColor(255, 0, 0)
                                : shown < 0 ? QColor(0, 0, 255)
                                            : palette().color(QPalette::WindowText));
}

bool frmBalance::refuse(QWidget* field, const QString& message) {
    ShowMessage(this, message, QMessageBox::Warning);
    field->setFocus();
    return false;
}

bool frmBalance::ValidateEdits() {
    if (TEXT_PaymentRecieved->text().trimmed().isEmpty())
        TEXT_PaymentRecieved->setText(QStringLiteral("0.00"));
    if (!IsNumeric(TEXT_PaymentRecieved->text()))
        return refuse(
            TEXT_PaymentRecieved,
            QStringLiteral("An invalid number was entered for $ Recieved, please correct."));
    if (TEXT_DateRecieved->text().trimmed().isEmpty())
        return true;
    const auto received = ParseDate(TEXT_DateRecieved->text());
    if (!received)
        return refuse(TEXT_DateRecieved,
                      QStringLiteral("An invalid Date Recieved was entered, please correct."));
    const auto billed = ParseDate(TEXT_DateBilled->text());
    if (billed && *billed > *received)
        return refuse(TEXT_DateRecieved,
                      QStringLiteral("The Date Recieved cannot be earlier then the Date "
                                     "Prepared, please correct."));
    return true;
}

QString frmBalance::selectedLine() const {
    const QListWidgetItem* line = LIST_Invoices->currentItem();
    return line ? line->text() : QString();
}

void frmBalance::closeWindow() {
    reject();
}
