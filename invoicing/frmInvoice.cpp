#include "frmInvoice.h"

#include "bookaccess.h"
#include "formats.h"
#include "invoicedraft.h"
#include "modCommand.h"
#include "prompts.h"
#include "settings.h"
#include "typedsettings.h"
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
#include <map>

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
    buildLines(form);
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
    if (checkingInvoiceNumber_)
        return;
    checkingInvoiceNumber_ = true;
    normaliseInvoiceNumber();
    checkingInvoiceNumber_ = false;
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
    // Nothing of the account shown before stays: a new one shows its own figures or none.
    LABEL_Name->clear();
    TEXT_Balance->setText(QStringLiteral("0.00"));
    COMBO_Description->setCurrentText(QString());
    TEXT_Units->setReadOnly(true);
    TEXT_Units->setText(QStringLiteral("1"));
    TEXT_Payment->setText(QStringLiteral("0.00"));
    showTaxRates({}, QString());
}

void frmInvoice::LoadAccount(const QString& accountNumber) {
    resetFields();
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
    const auto draft = ReadFromBook<std::optional<InvoiceDraft>>(
        this, openFailed, [&] { return DraftInvoice(accountNumber, ReadLastInvoice()); });
    if (!draft) {
        closeWindow();
        return;
    }
    const bool found = draft->ok() && draft->value().has_value();
    Toolbar1->button(QStringLiteral("OK"))->setEnabled(found);
    Toolbar1->button(QStringLiteral("Blank"))->setEnabled(found);
    if (!draft->ok())
        ShowIncompleteRead(this, "Account " + accountNumber, draft->failure());
    else if (found)
        showDraft(*draft->value());
}

void frmInvoice::fillAccountList(const QStringList& numbers) {
    FillingAccounts = true;
    COMBO_AccountNumber->clear();
    COMBO_AccountNumber->addItems(numbers);
    COMBO_AccountNumber->setCurrentIndex(-1);
    FillingAccounts = false;
}

void frmInvoice::showDraft(const InvoiceDraft& draft) {
    const ProfileRecord& profile = draft.profile;
    LABEL_Name->setText("< " + profile.CustomerName);
    TEXT_Invoice->setText(draft.number);
    if (const auto billed = ParseDate(TEXT_DateBilled->text()))
        TEXT_DateDue->setText(FormatShortDate(DueDate(*billed, profile.GraceDays)));
    for (QWidget* field : std::initializer_list<QWidget*>{
             TEXT_Invoice, TEXT_DateBilled, TEXT_DateDue, TEXT_Message[0], TEXT_Message[1],
             TEXT_Payable, COMBO_Description})
        ShowAsEntryField(field, true);
    const ChargesStart charges = StartCharges(profile);
    UnitRate = charges.unitRate;
    if (charges.amountEntered) {
        ShowAsEntryField(TEXT_Payment, true);
        TEXT_Payment->setFocus();
    } else if (charges.unitsEntered) {
        TEXT_Units->setReadOnly(false);
        ShowAsEntryField(TEXT_Units, true);
        TEXT_Units->setText(charges.units);
        TEXT_Units->setFocus();
    } else {
        TEXT_Payment->setText(FormatMoney(charges.amount));
    }
    TEXT_Payable->setText(profile.PayableTo);
    TEXT_Balance->setText(FormatMoney(draft.previous));
    COMBO_Description->setCurrentText(draft.unitDescription);
    showTaxRates(draft.taxRates, draft.taxName);
}

bool frmInvoice::refuse(QWidget* field, const QString& message) {
    ShowMessage(this, message, QMessageBox::Warning);
    field->setFocus();
    return false;
}

bool frmInvoice::ValidateInvoice() {
    InvoiceEntry entry{
        TEXT_Invoice->text(),    TEXT_Payable->text(), COMBO_Description->currentText(),
        TEXT_DateBilled->text(), TEXT_DateDue->text(), TEXT_Units->text(),
        TEXT_Payment->text()};
    const QString chargesTyped = entry.charges;
    const auto refusal = CheckInvoiceEntry(entry);
    // Blank units and charges read as zero, and show so (units shown anew work out the charges).
    if (TEXT_Units->text() != entry.units)
        TEXT_Units->setText(entry.units);
    if (chargesTyped != entry.charges)
        TEXT_Payment->setText(entry.charges);
    if (!refusal)
        return true;
    const std::map<InvoiceField, QWidget*> fields = {
        {InvoiceField::Number, TEXT_Invoice},           {InvoiceField::Payable, TEXT_Payable},
        {InvoiceField::Description, COMBO_Description}, {InvoiceField::DateBilled, TEXT_DateBilled},
        {InvoiceField::DateDue, TEXT_DateDue},          {InvoiceField::Units, TEXT_Units},
        {InvoiceField::Charges, TEXT_Payment}};
    return refuse(fields.at(refusal->field), refusal->message);
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
