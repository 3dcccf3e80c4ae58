// The two commands of the create-invoice window: "Print / Save" and "Print Blank".
#include "columns.h"
#include "formats.h"
#include "frmInvoice.h"
#include "invoicesheet.h"
#include "mainlink.h"
#include "modCommand.h"
#include "modDAO.h"
#include "modRegEdit.h"
#include "prompts.h"
#include "settings.h"
#include "settingvalues.h"
#include "statements.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>

namespace {
const QString ConnectFailed = QStringLiteral("Error connecting to database!\n\n");
const QString DuplicateNumber = QStringLiteral("The invoice number already exist, cannot continue");
const QString ProfileMissing =
    QStringLiteral("Error reading customer profile information from database.");

bool invoiceExists(const QString& number) {
    QString error;
    return daoGet_DBTableRecord(QLatin1String(sql::SelectInvoice), error, {number}) == 0 &&
           SharedRecordset().MoveFirst();
}

bool readProfile(const QString& account) {
    QString error;
    return daoGet_DBTableRecord(QLatin1String(sql::SelectProfile), error, {account}) == 0 &&
           SharedRecordset().MoveFirst();
}

// "LastInvoice" only ever rises to the highest number used.
void raiseLastInvoice(QWidget* owner, double number) {
    const QVariant stored =
        regGet_KeyValue(HKEY_LOCAL_MACHINE, MainSettingsKey, setting::LastInvoice, 0);
    if (number <= ParseNumber(stored.toString()).value_or(0.0))
        return;
    // A number beyond 32 bits cannot be kept as the store's number value.
    const bool storable = number < 2147483647.5;
    if (!storable || regSet_KeyValue(HKEY_LOCAL_MACHINE, MainSettingsKey, setting::LastInvoice,
                                     static_cast<qint32>(std::llround(number))) != 0)
        ShowMessage(owner, QStringLiteral("WARNING: Could not update registry setting."),
                    QMessageBox::Warning);
}

// The balance update and the invoice row land together or not at all.
qint32 storeInvoice(const QString& account, const QString& description, double billed,
                    const QVariantList& record, QString& error) {
    if (const qint32 result = daoBegin_Transaction(error))
        return result;
    qint32 result = daoIssue_EXEStatement(QLatin1String(sql::UpdateBalanceAndDescription), error,
                                          {billed, description, QDate::currentDate(), account});
    if (result == 0) {
        RecordBuffer() = record;
        result = daoWrite_DBTableRecord(QLatin1String(tables::Invoices), error);
    }
    if (result != 0) {
        daoRollback_Transaction();
        return result;
    }
    return daoCommit_Transaction(error);
}
} // namespace

void frmInvoice::PrintSave() {
    if (!ValidateInvoice())
        return;
    const QString number = TEXT_Invoice->text().trimmed();
    const QString account = COMBO_AccountNumber->currentText();
    const double charges = ParseMoney(TEXT_Payment->text()).value_or(0.0);
    const double previous = ParseMoney(TEXT_Balance->text()).value_or(0.0);
    const double billed = RoundCents(previous + charges);
    const QString summary = "Please confirm the following invoice summary...\n\n"
                            "Date Payment Due: " +
                            TEXT_DateDue->text() + "\nPrevious Balance: " + TEXT_Balance->text() +
                            "\nNew Charges: " + FormatMoney(charges) +
                            "\nAmount Billed: " + FormatMoney(billed);
    if (ShowMessage(this, summary, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
                    QStringLiteral("Please Confirm")) != QMessageBox::Yes)
        return;

    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString error;
    if (daoOpen_DBConnection(Settings().Database, error) != 0) {
        QApplication::restoreOverrideCursor();
        ShowMessage(this, ConnectFailed + error, QMessageBox::Critical);
        return;
    }
    InvoiceSheet sheet(this);
    const auto finish = [&] {
        daoClose_DBConnection();
        sheet.finish(true, TEXT_Invoice->text());
        RefreshTree();
        closeWindow();
    };
    if (invoiceExists(number)) {
        ShowMessage(this, DuplicateNumber, QMessageBox::Critical);
        return finish();
    }
    const QVariantList record = {number,
                                 account,
                                 TEXT_DateBilled->text(),
                                 QVariant(),
                                 TEXT_DateDue->text(),
                                 QVariant(),
                                 TEXT_Balance->text(),
                                 billed,
                                 0};
    if (storeInvoice(account, COMBO_Description->currentText(), billed, record, error) != 0) {
        ShowMessage(this, "Error saving to database!\n\n" + error, QMessageBox::Critical);
        return finish();
    }
    QApplication::processEvents();
    raiseLastInvoice(this, ParseNumber(TEXT_Invoice->text()).value_or(0.0));
    if (!readProfile(account)) {
        ShowMessage(this, ProfileMissing, QMessageBox::Critical);
        return finish();
    }
    LogTransaction("Created invoice# " + number + ", billed$ " + FormatMoney(billed));

    InvoiceCells cells;
    cells.takeAddresses(SharedRecordset());
    cells.account = account;
    cells.number = TEXT_Invoice->text();
    cells.dateBilled = TEXT_DateBilled->text();
    cells.units = TEXT_Units->text();
    cells.charges = FormatMoney(charges);
    cells.previous = FormatMoney(previous);
    cells.billed = FormatMoney(billed);
    cells.dateDue = TEXT_DateDue->text();
    cells.messages = {TEXT_Message[0]->text(), TEXT_Message[1]->text()};
    cells.payable = TEXT_Payable->text();
    cells.description = COMBO_Description->currentText();
    cells.guid = Settings().GUID;
    sheet.print(cells);
    finish();
}

void frmInvoice::PrintBlank() {
    ShowMessage(this,
                QStringLiteral("A blank invoice will be printed. This is usefull for\n"
                               "entering invoice information at a customers site\n"
                               "so that the customer can be presented with the invoice\n"
                               "immediately upon completion of the job. A new invoice,\n"
                               "with the same invoice number that was printed on the\n"
                               "blank invoice, must be created upon return."),
                QMessageBox::Information);
    QString error;
    if (daoOpen_DBConnection(Settings().Database, error) != 0) {
        ShowMessage(this, ConnectFailed + error, QMessageBox::Critical);
        return;
    }
    const QString number = TEXT_Invoice->text().trimmed();
    const QString account = COMBO_AccountNumber->currentText();
    InvoiceSheet sheet(this);
    const auto finish = [&] {
        daoClose_DBConnection();
        sheet.finish(false, number);
        RefreshTree();
        closeWindow();
    };
    if (invoiceExists(number)) {
        ShowMessage(this, DuplicateNumber, QMessageBox::Critical);
        return finish();
    }
    if (!readProfile(account)) {
        ShowMessage(this, ProfileMissing, QMessageBox::Critical);
        return finish();
    }
    InvoiceCells cells;
    cells.takeAddresses(SharedRecordset());
    raiseLastInvoice(this, ParseNumber(number).value_or(0.0));
    cells.account = account;
    cells.number = TEXT_Invoice->text();
    cells.dateBilled = TEXT_DateBilled->text();
    cells.previous = FormatMoney(ParseMoney(TEXT_Balance->text()).value_or(0.0));
    cells.dateDue = TEXT_DateDue->text();
    cells.messages = {TEXT_Message[0]->text(), TEXT_Message[1]->text()};
    cells.payable = TEXT_Payable->text();
    cells.description = COMBO_Description->currentText();
    cells.guid = Settings().GUID;
    const InvoicePrint printed = sheet.print(cells);
    if (printed == InvoicePrint::Printed || printed == InvoicePrint::Cancelled)
        LogTransaction("Printed Blank Invoice# " + number);
    finish();
}
