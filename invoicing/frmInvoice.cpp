#include "frmInvoice.h"

#include "accounts.h"
#include "bookaccess.h"
#include "formats.h"
#include "invoices.h"
#include "modCommand.h"
#include "modRegEdit.h"
#include "prompts.h"
#include "settings.h"
#include "settingvalues.h"
#include "windowkeys.h"
#include "windowparts.h"
#include "windowtoolbar.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace {
const QString HelpText =
    QStringLiteral("Please complete this form, then click \"Print / Save\".  Be sure to mail the "
                   "printed invoice to your customer, ASAP.");

QLineEdit* addField(QFormLayout* form, const QString& label, const char* name) {
    auto* field = new QLineEdit;
    field->setObjectName(QLatin1String(name));
    form->addRow(label, field);
    return field;
}

// Billing date plus the grace days, moved past a weekend.
QDate dueDate(const QDate& billed, int graceDays) {
    QDate due = billed.addDays(graceDays);
    while (due.dayOfWeek() == Qt::Saturday || due.dayOfWeek() == Qt::Sunday)
        due = due.addDays(1);
    return due;
}
} // namespace

frmInvoice::frmInvoice(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmInvoice"));
    setWindowTitle(QStringLiteral("Create Invoice"));
    buildWindow();
    // Window load.
    if (const auto descriptions = LoadUnitDescriptions())
        COMBO_Description->addItems(*descriptions);
    TEXT_DateBilled->setText(FormatShortDate(QDate::currentDate()));
    TEXT_Message[0]->setText(Settings().Message0);
    TEXT_Message[1]->setText(Settings().Message1);
}

void frmInvoice::buildWindow() {
    auto* layout = new QVBoxLayout(this);
    Toolbar1 = BuildDialogToolbar(this);
    Toolbar1->addSeparator();
    Toolbar1->addButton("Print / &Save", "OK", "Print and Save Invoice");
    Toolbar1->addButton("Print &Blank", "Blank", "Print Blank Invoice");
    connect(Toolbar1, &WindowToolbar::commandTriggered, this, &frmInvoice::onCommand);
    layout->addWidget(Toolbar1);
    LABEL_Help = BuildHelpStrip(this, HelpText);
    layout->addWidget(LABEL_Help->parentWidget());

    auto* form = new QFormLayout;
    COMBO_AccountNumber = new QComboBox;
    COMBO_AccountNumber->setObjectName(QStringLiteral("COMBO_AccountNumber"));
    COMBO_AccountNumber->setEditable(true);
    COMBO_AccountNumber->setMinimumContentsLength(20);
    LABEL_Name = new QLabel;
    LABEL_Name->setObjectName(QStringLiteral("LABEL_Name"));
    auto* accountRow = new QHBoxLayout;
    accountRow->addWidget(COMBO_AccountNumber);
    accountRow->addWidget(LABEL_Name, 1);
    form->addRow(QStringLiteral("Account Number"), accountRow);
    TEXT_Invoice = addField(form, QStringLiteral("Invoice Number"), "TEXT_Invoice");
    TEXT_DateBilled = addField(form, QStringLiteral("Date Invoice Billed"), "TEXT_DateBilled");
    TEXT_DateDue = addField(form, QStringLiteral("Date Payment Due"), "TEXT_DateDue");
    TEXT_Message[0] =
        addField(form, QStringLiteral("Customer Message on Invoice (optional)"), "TEXT_Message0");
    TEXT_Message[1] = addField(form, QString(), "TEXT_Message1");
    COMBO_Description = new QComboBox;
    COMBO_Description->setObjectName(QStringLiteral("COMBO_Description"));
    COMBO_Description->setEditable(true);
    form->addRow(QStringLiteral("Unit Description:"), COMBO_Description);
    TEXT_Payable = addField(form, QStringLiteral("Check Payable To:"), "TEXT_Payable");
    TEXT_Units = addField(form, QStringLiteral("Number of Units"), "TEXT_Units");
    TEXT_Payment = addField(form, QStringLiteral("New Charges"), "TEXT_Payment");
    TEXT_Balance = addField(form, QStringLiteral("Previous Balance"), "TEXT_Balance");
    TEXT_Balance->setReadOnly(true);
    TEXT_Units->setReadOnly(true);
    for (QLineEdit* field : {TEXT_Units, TEXT_Payment, TEXT_Balance})
        field->setAlignment(Qt::AlignRight);
    layout->addLayout(form);
    layout->addStretch();

    for (QLineEdit* field : {TEXT_Invoice, TEXT_DateBilled, TEXT_DateDue, TEXT_Message[0],
                             TEXT_Message[1], TEXT_Payable, TEXT_Units, TEXT_Payment})
        SelectAllOnFocus(field);
    TEXT_Invoice->installEventFilter(this);

    connect(COMBO_AccountNumber, &QComboBox::currentTextChanged, this, [this](const QString& text) {
        if (!FillingAccounts)
            LoadAccount(text);
    });
    connect(TEXT_Invoice, &QLineEdit::textChanged, this,
            [this](const QString& text) { setWindowTitle("Create Invoice - [" + text + "]"); });
    connect(TEXT_Units, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (text.isEmpty())
            TEXT_Payment->setText(QStringLiteral("0.00"));
        else if (const auto units = ParseNumber(text))
            TEXT_Payment->setText(FormatMoney(*units * UnitRate));
    });
    connect(TEXT_Payment, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (text.trimmed().isEmpty()) {
            TEXT_Payment->setText(QStringLiteral("0.00"));
            TEXT_Payment->selectAll();
        }
    });
}

void frmInvoice::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    LoadOnFirstShow(this, Activated, [this] { firstActivation(); });
}

void frmInvoice::firstActivation() {
    if (Tag.isEmpty()) {
        LoadAccount(QString());
        return;
    }
    FillingAccounts = true;
    COMBO_AccountNumber->clear();
    COMBO_AccountNumber->addItem(Tag);
    FillingAccounts = false;
    COMBO_AccountNumber->setCurrentIndex(0);
    LoadAccount(Tag);
}

bool frmInvoice::eventFilter(QObject* watched, QEvent* event) {
    // Only a move to another field counts: switching to another window, or a message box of
    // this one, leaves the number as it is.
    if (watched == TEXT_Invoice && event->type() == QEvent::FocusOut && isVisible()) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            checkInvoiceNumber();
    }
    return QDialog::eventFilter(watched, event);
}

void frmInvoice::checkInvoiceNumber() {
    if (checkingInvoiceNumber)
        return;
    checkingInvoiceNumber = true;
    normaliseInvoiceNumber();
    checkingInvoiceNumber = false;
}

// The number as it is stored: a whole number with leading zeros. The commands run this too,
// since a key or toolbar click does not take the focus from the field.
bool frmInvoice::normaliseInvoiceNumber() {
    const auto number = ParseNumber(TEXT_Invoice->text());
    const auto formatted = number ? FormatInvoiceNumber(*number) : std::nullopt;
    if (!formatted)
        return refuse(TEXT_Invoice,
                      QStringLiteral("An invalid Invoice Number was entered, please correct."));
    TEXT_Invoice->setText(*formatted);
    return true;
}

void frmInvoice::resetFields() {
    for (QWidget* field : std::initializer_list<QWidget*>{
             TEXT_Invoice, TEXT_DateBilled, TEXT_DateDue, TEXT_Message[0], TEXT_Message[1],
             TEXT_Units, TEXT_Payment, TEXT_Payable, COMBO_Description})
        ShowAsEntryField(field, false);
    TEXT_Units->setReadOnly(true);
    TEXT_Units->setText(QStringLiteral("1"));
    TEXT_Payment->setText(QStringLiteral("0.00"));
}

void frmInvoice::LoadAccount(const QString& accountNumber) {
    resetFields();
    const bool opened =
        WorkOnBook(this, QStringLiteral("Error opening main database, cannot continue.\n\n"), [&] {
            if (accountNumber.isEmpty()) {
                fillAccountList();
            } else {
                showAccount(accountNumber);
                showBalance(accountNumber);
            }
        });
    if (!opened)
        closeWindow();
}

void frmInvoice::fillAccountList() {
    FillingAccounts = true;
    COMBO_AccountNumber->clear();
    QString error;
    COMBO_AccountNumber->addItems(AccountNumbers(error));
    COMBO_AccountNumber->setCurrentIndex(-1);
    FillingAccounts = false;
}

void frmInvoice::showAccount(const QString& accountNumber) {
    QString error;
    const auto profile = ReadProfile(accountNumber, error);
    Toolbar1->button(QStringLiteral("OK"))->setEnabled(profile.has_value());
    Toolbar1->button(QStringLiteral("Blank"))->setEnabled(profile.has_value());
    if (!profile)
        return;
    LABEL_Name->setText("< " + profile->CustomerName);
    // "LastInvoice" is written after the invoice commits, so after a crash in between it lags
    // behind the book; the book's own highest number is never proposed again.
    const int lastInvoice =
        regGet_KeyValue(HKEY_LOCAL_MACHINE, MainSettingsKey, setting::LastInvoice, 0).toInt();
    const qlonglong highestStored = HighestInvoiceNumber(error).value_or(0);
    TEXT_Invoice->setText(
        FormatInvoiceNumber(double(std::max<qlonglong>(lastInvoice, highestStored)) + 1)
            .value_or(QString()));
    if (const auto billed = ParseDate(TEXT_DateBilled->text()))
        TEXT_DateDue->setText(FormatShortDate(dueDate(*billed, profile->GraceDays)));
    for (QWidget* field : std::initializer_list<QWidget*>{
             TEXT_Invoice, TEXT_DateBilled, TEXT_DateDue, TEXT_Message[0], TEXT_Message[1],
             TEXT_Payable, COMBO_Description})
        ShowAsEntryField(field, true);
    UnitRate = ParseMoney(profile->UnitPrice).value_or(0.0);
    prepareCharges(profile->InvoiceType, ParseMoney(profile->PaymentAmount).value_or(0.0));
    TEXT_Payable->setText(profile->PayableTo);
}

void frmInvoice::prepareCharges(int invoiceType, double fixedAmount) {
    switch (invoiceType) {
    case 0:
        ShowAsEntryField(TEXT_Payment, true);
        TEXT_Payment->setFocus();
        break;
    case 1:
        TEXT_Payment->setText(FormatMoney(fixedAmount));
        break;
    default:
        TEXT_Units->setReadOnly(false);
        ShowAsEntryField(TEXT_Units, true);
        TEXT_Units->setText(QStringLiteral("0"));
        TEXT_Units->setFocus();
        break;
    }
}

void frmInvoice::showBalance(const QString& accountNumber) {
    QString error;
    const auto balance = ReadBalance(accountNumber, error);
    if (!balance)
        return;
    TEXT_Balance->setText(FormatMoney(balance->Balance.value_or(0.0)));
    COMBO_Description->setCurrentText(balance->LastUnitDescription);
}

bool frmInvoice::refuse(QWidget* field, const QString& message) {
    ShowMessage(this, message, QMessageBox::Warning);
    field->setFocus();
    return false;
}

bool frmInvoice::ValidateInvoice() {
    if (!IsNumeric(TEXT_Invoice->text()))
        return refuse(TEXT_Invoice,
                      QStringLiteral("An invalid Invoice Number was entered, please correct."));
    if (TEXT_Payable->text().trimmed().isEmpty())
        return refuse(TEXT_Payable, QStringLiteral("Please enter a value for Check Payable To."));
    if (COMBO_Description->currentText().trimmed().isEmpty())
        return refuse(COMBO_Description,
                      QStringLiteral("Please enter a value for Unit Description."));
    const auto billed = ParseDate(TEXT_DateBilled->text());
    if (!billed)
        return refuse(TEXT_DateBilled,
                      QStringLiteral("An invalid Billing Date was entered, please correct."));
    const auto due = ParseDate(TEXT_DateDue->text());
    if (!due)
        return refuse(TEXT_DateDue,
                      QStringLiteral("An invalid Due Date was entered, please correct."));
    if (*due < *billed)
        return refuse(TEXT_DateDue,
                      QStringLiteral("Due Date cannot be before Billing Date, please correct."));
    if (TEXT_Units->text().trimmed().isEmpty())
        TEXT_Units->setText(QStringLiteral("0"));
    if (!IsNumeric(TEXT_Units->text()))
        return refuse(
            TEXT_Units,
            QStringLiteral("An invalid number was entered for the Units, please correct."));
    if (TEXT_Payment->text().trimmed().isEmpty())
        TEXT_Payment->setText(QStringLiteral("0.00"));
    if (!IsNumeric(TEXT_Payment->text()))
        return refuse(TEXT_Payment, QStringLiteral("An invalid number was entered for the "
                                                   "Payment, please correct."));
    return true;
}

void frmInvoice::onCommand(const QString& tag) {
    if (tag == QLatin1String("OK"))
        PrintSave();
    else if (tag == QLatin1String("Blank"))
        PrintBlank();
    else
        closeWindow();
}

void frmInvoice::closeWindow() {
    reject();
}
