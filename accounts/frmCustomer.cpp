#include "frmCustomer.h"

#include "accounts.h"
#include "columns.h"
#include "windowkeys.h"
#include "windowparts.h"
#include "windowtoolbar.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr int AddressLimit = 100;
constexpr int AmountLimit = 9;

const QStringList BusinessClasses = {"Personal, Individual",
                                     "Private office",
                                     "Public office",
                                     "Small company, low volume",
                                     "Small company, high volume",
                                     "Midsize company, low volume",
                                     "Midsize company, high volume",
                                     "Large company, low volume",
                                     "Large company, high volume",
                                     "Mixed class!"};

QLineEdit* lineEdit(QWidget* parent, const QString& name, int limit) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    if (limit > 0)
        edit->setMaxLength(limit);
    SelectAllOnFocus(edit);
    return edit;
}

template <std::size_t N>
QVBoxLayout* addressLines(QWidget* parent, const QString& name, std::array<QLineEdit*, N>& lines) {
    auto* column = new QVBoxLayout;
    column->setSpacing(2);
    for (std::size_t i = 0; i < N; ++i) {
        lines[i] = lineEdit(parent, QStringLiteral("%1(%2)").arg(name).arg(i), AddressLimit);
        column->addWidget(lines[i]);
    }
    return column;
}

QLabel* wrappedLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}
} // namespace

frmCustomer::frmCustomer(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmCustomer"));
    setWindowTitle(QStringLiteral("Customer Profile"));
    Toolbar1 = BuildDialogToolbar(this);
    Toolbar1->addSeparator();
    Toolbar1
        ->addButton(QStringLiteral("&Save"), QStringLiteral("OK"),
                    QStringLiteral("Save Customer Profile"),
                    style()->standardIcon(QStyle::SP_DialogSaveButton))
        ->setEnabled(false);
    Toolbar1->addSeparator();
    Toolbar1
        ->addButton(QStringLiteral("&Delete"), QStringLiteral("Delete"),
                    QStringLiteral("Delete Customer Profile"),
                    style()->standardIcon(QStyle::SP_TrashIcon))
        ->setEnabled(false);
    connect(Toolbar1, &WindowToolbar::commandTriggered, this,
            [this](const QString& tag) { dispatchCommand(tag); });

    LABEL_Help = BuildHelpStrip(this, QStringLiteral("Enter the customer's details on the first "
                                                     "page and how the customer is billed on the "
                                                     "second, then save the profile."));
    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    SSTab1->addTab(buildCustomerPage(), QStringLiteral("&Customer Information"));
    SSTab1->addTab(buildBillingPage(), QStringLiteral("&Billing Information"));

    auto* column = new QVBoxLayout(this);
    column->addWidget(Toolbar1);
    column->addWidget(LABEL_Help->parentWidget());
    column->addWidget(SSTab1);
    connectFieldBehaviour();
    showGraceDays();
}

QWidget* frmCustomer::buildCustomerPage() {
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    form->addRow(wrappedLabel(QStringLiteral("The Account Number is a unique value that "
                                             "identifies a customer profile, and is used "
                                             "throughout the Billing process."),
                              page));
    TEXT_AccountNumber = lineEdit(page, QStringLiteral("TEXT_AccountNumber"), 20);
    form->addRow(QStringLiteral("Account Number"), TEXT_AccountNumber);
    form->addRow(wrappedLabel(QStringLiteral("The Master Account is an account number that "
                                             "already exist, and is used to link customer "
                                             "profiles."),
                              page));
    COMBO_MasterAccount = new QComboBox(page);
    COMBO_MasterAccount->setObjectName(QStringLiteral("COMBO_MasterAccount"));
    // Each item shows "number, name" and carries the bare number, which is what is stored.
    COMBO_MasterAccount->addItem(QLatin1String(MasterMarker), QLatin1String(MasterMarker));
    COMBO_MasterAccount->setCurrentIndex(-1);
    form->addRow(QStringLiteral("Master Account"), COMBO_MasterAccount);
    TEXT_Name = lineEdit(page, QStringLiteral("TEXT_Name"), 100);
    form->addRow(QStringLiteral("Customer Name"), TEXT_Name);
    TEXT_Email = lineEdit(page, QStringLiteral("TEXT_Email"), 100);
    form->addRow(QStringLiteral("Customer Contact Email Address"), TEXT_Email);
    TEXT_Phone = lineEdit(page, QStringLiteral("TEXT_Phone"), 12);
    form->addRow(QStringLiteral("Customer Contact Phone Number"), TEXT_Phone);
    form->addRow(QStringLiteral("Customer Address"),
                 addressLines(page, QStringLiteral("TEXT_Address"), TEXT_Address));
    COMBO_Class = new QComboBox(page);
    COMBO_Class->setObjectName(QStringLiteral("COMBO_Class"));
    COMBO_Class->setEditable(true);
    COMBO_Class->addItems(BusinessClasses);
    COMBO_Class->setCurrentIndex(-1);
    form->addRow(QStringLiteral("Customer Business Class or Type (optional)"), COMBO_Class);
    TEXT_Comments = new QPlainTextEdit(page);
    TEXT_Comments->setObjectName(QStringLiteral("TEXT_Comments"));
    TEXT_Comments->setTabChangesFocus(true);
    form->addRow(QStringLiteral("Customer Comments (optional)"), TEXT_Comments);
    return page;
}

QGroupBox* frmCustomer::buildInvoiceTypeFrame() {
    FRAME_InvoiceType = new QGroupBox(QStringLiteral(" Invoice Type (select one) "));
    auto* grid = new QGridLayout(FRAME_InvoiceType);
    const QStringList captions = {QStringLiteral("&Unique invoice each Billing Cycle"),
                                  QStringLiteral("S&pecific invoice each Billing Cycle"),
                                  QStringLiteral("U&nit,")};
    for (int i = 0; i < 3; ++i) {
        OPTION_InvoiceType[i] = new QRadioButton(captions[i], FRAME_InvoiceType);
        OPTION_InvoiceType[i]->setObjectName(QStringLiteral("OPTION_InvoiceType(%1)").arg(i));
        grid->addWidget(OPTION_InvoiceType[i], i, 0);
    }
    OPTION_InvoiceType[0]->setChecked(true);
    TEXT_Payment = lineEdit(FRAME_InvoiceType, QStringLiteral("TEXT_Payment"), AmountLimit);
    TEXT_Unit = lineEdit(FRAME_InvoiceType, QStringLiteral("TEXT_Unit"), AmountLimit);
    for (QLineEdit* amount : {TEXT_Payment, TEXT_Unit}) {
        amount->setAlignment(Qt::AlignRight);
        amount->setMinimumWidth(amount->fontMetrics().horizontalAdvance(QString(11, '0')));
        amount->setText(QStringLiteral("0.00"));
    }
    grid->addWidget(new QLabel(QStringLiteral("Each payment will be $"), FRAME_InvoiceType), 1, 1);
    grid->addWidget(TEXT_Payment, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Price/rate per Unit $"), FRAME_InvoiceType), 2, 1);
    grid->addWidget(TEXT_Unit, 2, 2);
    grid->addWidget(wrappedLabel(QStringLiteral("This customer is billed depending on the total "
                                                "amount of units per Billing Cycle. Units can "
                                                "represent 'hours' or any other type of "
                                                "quantity."),
                                 FRAME_InvoiceType),
                    3, 0, 1, 3);
    return FRAME_InvoiceType;
}

QGroupBox* frmCustomer::buildCycleFrame() {
    FRAME_Cycle = new QGroupBox(QStringLiteral(" Billing Cycle (select one) "));
    auto* grid = new QGridLayout(FRAME_Cycle);
    OPTION_Cycle[0] = new QRadioButton(QStringLiteral("N&o cycle, adhoc billing"), FRAME_Cycle);
    OPTION_Cycle[1] =
        new QRadioButton(QStringLiteral("&Monthly, always on this day >"), FRAME_Cycle);
    for (int i = 0; i < 2; ++i) {
        OPTION_Cycle[i]->setObjectName(QStringLiteral("OPTION_Cycle(%1)").arg(i));
        grid->addWidget(OPTION_Cycle[i], i, 0);
    }
    OPTION_Cycle[0]->setChecked(true);
    TEXT_MonthDay = lineEdit(FRAME_Cycle, QStringLiteral("TEXT_MonthDay"), 2);
    TEXT_MonthDay->setText(QStringLiteral("15"));
    TEXT_MonthDay->setMaximumWidth(40);
    grid->addWidget(TEXT_MonthDay, 1, 1);
    LABEL_Grace = new QLabel(FRAME_Cycle);
    LABEL_Grace->setObjectName(QStringLiteral("LABEL_Grace"));
    HScroll_Grace = new QScrollBar(Qt::Horizontal, FRAME_Cycle);
    HScroll_Grace->setObjectName(QStringLiteral("HScroll_Grace"));
    HScroll_Grace->setRange(0, GraceDaysMaximum);
    HScroll_Grace->setPageStep(5);
    grid->addWidget(LABEL_Grace, 2, 0);
    grid->addWidget(HScroll_Grace, 3, 0, 1, 2);
    return FRAME_Cycle;
}

QWidget* frmCustomer::buildBillingPage() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->addWidget(buildInvoiceTypeFrame(), 0, 0);
    auto* payable = new QFormLayout;
    TEXT_Payable = lineEdit(page, QStringLiteral("TEXT_Payable"), 0);
    payable->addRow(QStringLiteral("Make Check Payable To"), TEXT_Payable);
    grid->addLayout(payable, 1, 0);
    auto* tax = new QFormLayout;
    COMBO_Tax = new QComboBox(page);
    COMBO_Tax->setObjectName(QStringLiteral("COMBO_Tax"));
    COMBO_Tax->setToolTip(QStringLiteral("The tax rate this account is billed at"));
    tax->addRow(QStringLiteral("Tax"), COMBO_Tax);
    grid->addLayout(tax, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Billing Address (where the Bill is sent)"), page), 2,
                    0);
    grid->addLayout(addressLines(page, QStringLiteral("TEXT_BillAddress"), TEXT_BillAddress), 3, 0);
    grid->addWidget(buildCycleFrame(), 0, 1);
    grid->addWidget(
        new QLabel(QStringLiteral("Recieving Address (where the Payment is sent)"), page), 2, 1);
    grid->addLayout(
        addressLines(page, QStringLiteral("TEXT_RecievingAddress"), TEXT_RecievingAddress), 3, 1);
    grid->setRowStretch(4, 1);
    return page;
}

void frmCustomer::connectFieldBehaviour() {
    connect(HScroll_Grace, &QScrollBar::valueChanged, this, [this] { showGraceDays(); });
    for (QLineEdit* amount : {TEXT_Payment, TEXT_Unit}) {
        connect(amount, &QLineEdit::textChanged, this, [amount](const QString& text) {
            if (!text.trimmed().isEmpty())
                return;
            amount->setText(QStringLiteral("0.00"));
            amount->selectAll();
        });
    }
    connect(COMBO_MasterAccount, &QComboBox::activated, this, [this](int index) {
        if (!loading_)
            CopyFromMaster(COMBO_MasterAccount->itemData(index).toString());
    });
}

void frmCustomer::showGraceDays() {
    LABEL_Grace->setText(QStringLiteral("Payment Grace days: ") +
                         QString::number(HScroll_Grace->value()));
}

QString frmCustomer::chosenMaster() const {
    return COMBO_MasterAccount->currentData().toString();
}

bool frmCustomer::showsMasterMarker() const {
    return chosenMaster() == QLatin1String(MasterMarker);
}

void frmCustomer::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    LoadOnFirstShow(this, Activated, [this] { loadOnFirstActivation(); });
}

// A button whose tag is not one of the window's commands closes the window.
void frmCustomer::dispatchCommand(const QString& tag) {
    if (tag == QLatin1String("OK"))
        Save();
    else if (tag == QLatin1String("Delete"))
        Delete();
    else
        reject();
}
