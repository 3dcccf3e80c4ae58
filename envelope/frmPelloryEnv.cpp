#include "frmPelloryEnv.h"

#include "busypointer.h"
#include "events.h"
#include "modDialog32.h"
#include "modExcel.h"
#include "paths.h"
#include "prompts.h"
#include "sheetprinting.h"
#include "windowkeys.h"
#include "windowparts.h"
#include "windowtoolbar.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {
const QString HelpText = QStringLiteral("Use this form print addressess on envelopes. Select a "
                                        "customer profile from the dropdown list.");
const QString WorkbookName = QStringLiteral("pelloryenv.xls");
const QString EnvelopeSheet = QStringLiteral("Sheet1");
constexpr int EnvelopeSheetIndex = 0;

// A heading over an address block, with where the block lands on the envelope under it.
QWidget* addressHeading(const QString& title, const QString& place) {
    auto* heading = new QWidget;
    auto* layout = new QVBoxLayout(heading);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* titleLabel = new QLabel(title);
    QFont bold = titleLabel->font();
    bold.setBold(true);
    titleLabel->setFont(bold);
    layout->addWidget(titleLabel);
    auto* placeLabel = new QLabel(place);
    placeLabel->setForegroundRole(QPalette::PlaceholderText);
    layout->addWidget(placeLabel);
    return heading;
}

} // namespace

frmPelloryEnv::frmPelloryEnv(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmPelloryEnv"));
    setWindowTitle(QStringLiteral("Pellory Envelope Printer"));
    buildWindow();
    // Window load.
    const AddressLines returnAddress = ReadReturnAddress();
    for (std::size_t line = 0; line < TEXT_Address.size(); ++line)
        TEXT_Address[line]->setText(returnAddress[line]);
    settings_ = ReadEnvelopeSettings();
}

frmPelloryEnv::~frmPelloryEnv() {
    // Hiding a window that is still shown takes the focus from the account box, which then
    // reports the typed account as chosen; nothing of this window may answer any more.
    COMBO_AccountNumber->disconnect(this);
}

void frmPelloryEnv::buildWindow() {
    auto* layout = new QVBoxLayout(this);
    Toolbar1 = BuildDialogToolbar(this);
    Toolbar1->addSeparator();
    Toolbar1->addButton(QStringLiteral("&Print Envelope"), QStringLiteral("OK"),
                        QStringLiteral("Print Envelope"));
    connect(Toolbar1, &WindowToolbar::commandTriggered, this, &frmPelloryEnv::onCommand);
    layout->addWidget(Toolbar1);
    LABEL_Help = BuildHelpStrip(this, HelpText);
    layout->addWidget(LABEL_Help->parentWidget());

    auto* accountRow = new QHBoxLayout;
    accountRow->addWidget(new QLabel(QStringLiteral("Account Number")));
    COMBO_AccountNumber = new QComboBox;
    COMBO_AccountNumber->setObjectName(QStringLiteral("COMBO_AccountNumber"));
    COMBO_AccountNumber->setEditable(true);
    COMBO_AccountNumber->setInsertPolicy(QComboBox::NoInsert); // a typed number is no account
    COMBO_AccountNumber->setMinimumContentsLength(20);
    accountRow->addWidget(COMBO_AccountNumber);
    LABEL_Name = new QLabel;
    LABEL_Name->setObjectName(QStringLiteral("LABEL_Name"));
    accountRow->addWidget(LABEL_Name, 1);
    layout->addLayout(accountRow);

    auto* addresses = new QGridLayout;
    addresses->setHorizontalSpacing(16);
    addresses->addWidget(
        addressHeading(QStringLiteral("Return Address"), QStringLiteral("Upper Left of Envelope")),
        0, 0);
    addresses->addWidget(addressHeading(QStringLiteral("Billing Address (where the Bill is sent)"),
                                        QStringLiteral("Center of Envelope")),
                         0, 1);
    for (std::size_t line = 0; line < TEXT_Address.size(); ++line) {
        const int row = static_cast<int>(line) + 1;
        TEXT_Address[line] = new QLineEdit;
        TEXT_Address[line]->setObjectName(QStringLiteral("TEXT_Address%1").arg(line));
        addresses->addWidget(TEXT_Address[line], row, 0);
        TEXT_BillAddress[line] = new QLineEdit;
        TEXT_BillAddress[line]->setObjectName(QStringLiteral("TEXT_BillAddress%1").arg(line));
        addresses->addWidget(TEXT_BillAddress[line], row, 1);
        SelectAllOnFocus(TEXT_Address[line]);
        SelectAllOnFocus(TEXT_BillAddress[line]);
    }
    layout->addLayout(addresses);
    layout->addStretch();
    resize(640, sizeHint().height());

    connect(COMBO_AccountNumber, &QComboBox::currentTextChanged, this, [this](const QString& text) {
        if (!FillingAccounts)
            LoadEnvelopeAccount(text);
    });
    connect(COMBO_AccountNumber, &QComboBox::activated, this,
            [this] { LoadEnvelopeAccount(COMBO_AccountNumber->currentText()); });
}

void frmPelloryEnv::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    LoadOnFirstShow(this, Activated, [this] {
        // Before any account shows, the user learns which book they come from.
        if (!settings_.notice.isEmpty())
            ShowMessage(this, settings_.notice, QMessageBox::Warning);
        LoadEnvelopeAccount(QString());
    });
}

void frmPelloryEnv::LoadEnvelopeAccount(const QString& accountNumber) {
    BusyPointer busy;
    BookRead read;
    if (accountNumber.isEmpty()) {
        FillingAccounts = true;
        COMBO_AccountNumber->clear();
        read = ReadAccountNumbers(settings_.database, [this](const QString& account) {
            COMBO_AccountNumber->addItem(account);
            LetEventsRun(); // the window paints while a long list comes in
        });
        COMBO_AccountNumber->setCurrentIndex(-1);
        FillingAccounts = false;
    } else {
        std::optional<Addressee> addressee;
        read = ReadAddressee(settings_.database, accountNumber, addressee);
        if (addressee) {
            LABEL_Name->setText("< " + addressee->name);
            for (std::size_t line = 0; line < TEXT_BillAddress.size(); ++line)
                TEXT_BillAddress[line]->setText(addressee->billAddress[line]);
        }
    }
    busy.release();
    if (!read.opened()) {
        ShowMessage(this, "Error opening main database, cannot continue.\n\n" + read.openError,
                    QMessageBox::Critical);
        close();
    } else if (!read.readError.isEmpty()) {
        ShowMessage(
            this, "Error reading main database: what is shown is incomplete.\n\n" + read.readError,
            QMessageBox::Critical);
    }
}

void frmPelloryEnv::onCommand(const QString& tag) {
    if (tag == QLatin1String("OK"))
        PrintEnvelope();
    else
        close();
}

void frmPelloryEnv::PrintEnvelope() {
    if (!QFile::exists(ProgramFile(WorkbookName))) {
        ShowMessage(
            this, QStringLiteral("Missing excel worksheet for envelope printing, cannot continue."),
            QMessageBox::Critical);
        return;
    }
    const PrinterChoice choice = dlgShow_Printer(this, settings_.copies);
    if (choice.deviceName.isEmpty())
        return;
    if (ShowMessage(this,
                    QStringLiteral("Insert envelope into printer, and click [Yes] to continue."),
                    QMessageBox::Question, QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    printOnWorkbook(choice.deviceName, choice.copies);
    // The office is closed without saving whatever happened, so the workbook keeps no address.
    const BusyPointer closing;
    CloseWithoutSaving();
}

void frmPelloryEnv::printOnWorkbook(const QString& deviceName, int copies) {
    BusyPointer busy;
    if (xlsOpen_Workbook(ProgramFile(WorkbookName)) != 0) {
        busy.release();
        ShowMessage(this, QStringLiteral("Error loading excel application and target workbook."),
                    QMessageBox::Critical);
        return;
    }
    for (const EnvelopeCell& cell : EnvelopeCells(lines(TEXT_Address), lines(TEXT_BillAddress))) {
        if (!xlsSet_CellValue(EnvelopeSheetIndex, cell.row, cell.column, cell.value)) {
            busy.release();
            ShowMessage(this,
                        QStringLiteral("Error writing the envelope into excel worksheet "
                                       "[Sheet1]; nothing was printed."),
                        QMessageBox::Critical);
            return;
        }
    }
    // The printing every form shares: the envelope is sent only once the printer's queue has it.
    const SheetPrint printed = PrintOnPrinter(this, EnvelopeSheet, {deviceName, copies});
    busy.release();
    if (printed == SheetPrint::Printed)
        ShowMessage(this, QStringLiteral("The envelope has been created and sent to printer."),
                    QMessageBox::Information, QMessageBox::Ok, QStringLiteral("Envelope Complete"));
    else
        ShowMessage(this, QStringLiteral("Error printing excel worksheet [Sheet1]"),
                    QMessageBox::Critical);
}

AddressLines frmPelloryEnv::lines(const std::array<QLineEdit*, 4>& fields) const {
    AddressLines text;
    for (std::size_t line = 0; line < fields.size(); ++line)
        text[line] = fields[line]->text();
    return text;
}

void frmPelloryEnv::done(int result) {
    SaveReturnAddress(lines(TEXT_Address));
    QDialog::done(result);
}
