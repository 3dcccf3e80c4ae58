// Opening the editor on a profile, and copying billing details from a master account.
#include "busypointer.h"
#include "columns.h"
#include "formats.h"
#include "frmCustomer.h"
#include "modDAO.h"
#include "prompts.h"
#include "settings.h"
#include "statements.h"
#include "windowparts.h"
#include "windowtoolbar.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>

namespace {
QString textAt(int column) {
    return SharedRecordset().Fields(column).toString();
}

QString moneyAt(int column) {
    const QVariant value = SharedRecordset().Fields(column);
    const auto amount = ParseMoney(value);
    return amount ? FormatMoney(*amount) : value.toString();
}

int numberAt(int column) {
    return SharedRecordset().Fields(column).toInt();
}

template <std::size_t N> void showLines(std::array<QLineEdit*, N>& lines, int firstColumn) {
    for (std::size_t i = 0; i < N; ++i)
        lines[i]->setText(textAt(firstColumn + static_cast<int>(i)));
}

template <std::size_t N> void chooseOption(std::array<QRadioButton*, N>& options, int index) {
    if (index >= 0 && index < static_cast<int>(N))
        options[index]->setChecked(true);
}

} // namespace

void frmCustomer::loadOnFirstActivation() {
    BusyPointer busy;
    QString error;
    if (daoOpen_DBConnection(Settings().Database, error) != 0) {
        busy.release();
        ShowMessage(this,
                    QStringLiteral("Error opening main database, cannot continue.\n\n") + error,
                    QMessageBox::Critical);
        reject();
        return;
    }
    Recordset& rows = SharedRecordset();
    if (daoGet_DBTableRecord(QLatin1String(sql::SelectProfilesOfMaster), error,
                             {QLatin1String(MasterMarker)}) == 0) {
        for (rows.MoveFirst(); !rows.EndOfFile(); rows.MoveNext())
            COMBO_MasterAccount->addItem(rows.Fields(col::AccountNumber).toString());
    }
    if (Tag.isEmpty()) {
        TEXT_AccountNumber->setReadOnly(false);
        Toolbar1->button(QStringLiteral("OK"))->setEnabled(true);
        TEXT_AccountNumber->setFocus();
    } else {
        loadProfile();
    }
    daoClose_DBConnection();
    showGraceDays();
}

void frmCustomer::loadProfile() {
    loading_ = true;
    setWindowTitle(QStringLiteral("Customer Profile - [") + Tag + ']');
    QCoreApplication::processEvents();
    QString error;
    if (daoGet_DBTableRecord(QLatin1String(sql::SelectProfile), error, {Tag}) != 0) {
        ShowMessage(this,
                    QStringLiteral("Error reading customer profile information from database."),
                    QMessageBox::Critical);
        loading_ = false;
        return;
    }
    if (SharedRecordset().MoveFirst())
        showProfile();
    if (!TEXT_AccountNumber->text().trimmed().isEmpty()) {
        TEXT_AccountNumber->setReadOnly(true);
        ShowAsEntryField(TEXT_AccountNumber, false);
        Toolbar1->button(QStringLiteral("OK"))->setEnabled(true);
        Toolbar1->button(QStringLiteral("Delete"))->setEnabled(true);
    } else {
        ShowMessage(this,
                    QStringLiteral("Account Number [") + Tag + "] cannot be found in database.",
                    QMessageBox::Critical);
    }
    QCoreApplication::processEvents();
    if (showsMasterMarker())
        lockMasterBox();
    QCoreApplication::processEvents();
    TEXT_Name->setFocus();
    loading_ = false;
}

void frmCustomer::showProfile() {
    TEXT_AccountNumber->setText(textAt(col::AccountNumber));
    COMBO_MasterAccount->setCurrentIndex(COMBO_MasterAccount->findText(textAt(col::MasterAccount)));
    TEXT_Name->setText(textAt(col::CustomerName));
    TEXT_Email->setText(textAt(col::Email));
    TEXT_Phone->setText(textAt(col::Phone));
    showLines(TEXT_Address, col::Address1);
    COMBO_Class->setCurrentText(textAt(col::BusinessClass));
    TEXT_Comments->setPlainText(textAt(col::Comments));
    chooseOption(OPTION_InvoiceType, numberAt(col::InvoiceType));
    TEXT_Payment->setText(moneyAt(col::PaymentAmount));
    TEXT_Unit->setText(moneyAt(col::UnitPrice));
    TEXT_Payable->setText(textAt(col::PayableTo));
    showLines(TEXT_BillAddress, col::BillAddress1);
    chooseOption(OPTION_Cycle, numberAt(col::BillCycle));
    TEXT_MonthDay->setText(textAt(col::MonthDay));
    HScroll_Grace->setValue(numberAt(col::GraceDays));
    showLines(TEXT_RecievingAddress, col::RecievingAddress1);
}

// A master account cannot become a linked one.
void frmCustomer::lockMasterBox() {
    COMBO_MasterAccount->setEnabled(false);
    ShowAsEntryField(COMBO_MasterAccount, false);
}

void frmCustomer::CopyFromMaster(const QString& master) {
    if (master == QLatin1String(MasterMarker))
        return;
    BusyPointer busy;
    QCoreApplication::processEvents();
    QString error;
    if (daoOpen_DBConnection(Settings().Database, error) != 0)
        return;
    if (daoGet_DBTableRecord(QLatin1String(sql::SelectProfile), error, {master}) == 0 &&
        SharedRecordset().MoveFirst()) {
        chooseOption(OPTION_Cycle, numberAt(col::BillCycle));
        TEXT_MonthDay->setText(textAt(col::MonthDay));
        HScroll_Grace->setValue(numberAt(col::GraceDays));
        showLines(TEXT_RecievingAddress, col::Address1);
        TEXT_Payable->setText(textAt(col::PayableTo));
    }
    daoClose_DBConnection();
}
