// Checking, saving and deleting a profile. Each save and each delete runs as one transaction:
// when any statement fails nothing is changed and the window keeps the user's input.
#include "busypointer.h"
#include "columns.h"
#include "formats.h"
#include "frmCustomer.h"
#include "mainlink.h"
#include "modCommand.h"
#include "modDAO.h"
#include "prompts.h"
#include "settings.h"
#include "statements.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDate>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>

namespace {
constexpr int CustomerPage = 0;
constexpr int BillingPage = 1;

bool isBlank(const QString& text) {
    return text.trimmed().isEmpty();
}

// An amount as stored: formatted when it is a number, otherwise as typed (the column refuses it).
QVariant amountOf(const QLineEdit* field) {
    const auto amount = ParseNumber(field->text());
    return amount ? FormatMoney(*amount) : field->text();
}

template <std::size_t N> int chosenIndex(const std::array<QRadioButton*, N>& options) {
    for (std::size_t i = 0; i + 1 < N; ++i)
        if (options[i]->isChecked())
            return static_cast<int>(i);
    return static_cast<int>(N) - 1;
}

template <std::size_t N>
void putLines(QVariantList& buffer, const std::array<QLineEdit*, N>& lines, int firstColumn) {
    for (std::size_t i = 0; i < N; ++i)
        buffer[firstColumn + static_cast<int>(i)] = lines[i]->text();
}

qint32 deleteAccountRows(const QString& account, QString& error) {
    for (const char* statement :
         {sql::DeleteProfile, sql::DeleteInvoicesOfAccount, sql::DeleteBalance}) {
        if (const qint32 result = daoIssue_EXEStatement(QLatin1String(statement), error, {account}))
            return result;
    }
    return 0;
}
} // namespace

void frmCustomer::refuse(const QString& message, int page, QWidget* field) {
    ShowMessage(this, message, QMessageBox::Warning);
    SSTab1->setCurrentIndex(page);
    field->setFocus();
}

bool frmCustomer::ValidateProfile() {
    const struct {
        bool failed;
        const char* message;
        int page;
        QWidget* field;
    } checks[] = {
        {isBlank(TEXT_AccountNumber->text()), "An Account Number is required.", CustomerPage,
         TEXT_AccountNumber},
        {TEXT_AccountNumber->text().contains(','),
         "Please do not put comma's in the the Account Number.", CustomerPage, TEXT_AccountNumber},
        {isBlank(COMBO_MasterAccount->currentText()), "A Master Account Number is required.",
         CustomerPage, COMBO_MasterAccount},
        {isBlank(TEXT_Name->text()), "A Customer Name is required.", CustomerPage, TEXT_Name},
        {isBlank(TEXT_BillAddress[0]->text()), "A Billing Address is required.", BillingPage,
         TEXT_BillAddress[0]},
        {isBlank(TEXT_Payable->text()), "A Check Payable name is required.", BillingPage,
         TEXT_Payable},
        {isBlank(TEXT_RecievingAddress[0]->text()), "A Recieving Address is required.", BillingPage,
         TEXT_RecievingAddress[0]},
    };
    for (const auto& check : checks) {
        if (check.failed) {
            refuse(QString::fromLatin1(check.message), check.page, check.field);
            return false;
        }
    }
    return true;
}

void frmCustomer::fillRecordBuffer() {
    QVariantList& buffer = RecordBuffer();
    buffer = QVariantList(col::ProfileColumnCount);
    buffer[col::AccountNumber] = TEXT_AccountNumber->text().trimmed();
    buffer[col::MasterAccount] = COMBO_MasterAccount->currentText();
    buffer[col::CustomerName] = TEXT_Name->text();
    buffer[col::Email] = TEXT_Email->text();
    buffer[col::Phone] = TEXT_Phone->text();
    putLines(buffer, TEXT_Address, col::Address1);
    buffer[col::BusinessClass] = COMBO_Class->currentText();
    buffer[col::Comments] = TEXT_Comments->toPlainText();
    buffer[col::InvoiceType] = chosenIndex(OPTION_InvoiceType);
    buffer[col::PaymentAmount] = amountOf(TEXT_Payment);
    buffer[col::UnitPrice] = amountOf(TEXT_Unit);
    buffer[col::PayableTo] = TEXT_Payable->text();
    putLines(buffer, TEXT_BillAddress, col::BillAddress1);
    buffer[col::BillCycle] = chosenIndex(OPTION_Cycle);
    buffer[col::Reserved] = 0;
    buffer[col::MonthDay] = TEXT_MonthDay->text();
    buffer[col::GraceDays] = HScroll_Grace->value();
    putLines(buffer, TEXT_RecievingAddress, col::RecievingAddress1);
}

bool frmCustomer::accountExists(const QString& account) {
    QString error;
    return daoGet_DBTableRecord(QLatin1String(sql::SelectProfile), error, {account}) == 0 &&
           SharedRecordset().MoveFirst();
}

// Editing replaces the stored row; a new account gets its balance row first.
bool frmCustomer::storeProfile(bool editing, QString& error) {
    const QString account = TEXT_AccountNumber->text().trimmed();
    if (editing) {
        if (daoIssue_EXEStatement(QLatin1String(sql::DeleteProfile), error, {Tag}) != 0)
            return false;
    } else {
        const QDate today = QDate::currentDate();
        RecordBuffer() = {account, QStringLiteral("0.00"), QString(), today, today};
        if (daoWrite_DBTableRecord(QLatin1String(tables::Logs), error) != 0)
            return false;
    }
    fillRecordBuffer();
    return daoWrite_DBTableRecord(QLatin1String(tables::CustomerProfile), error) == 0;
}

// The book opened for a change; when it cannot be, the user is told and false returned.
bool frmCustomer::openForChange() {
    QString error;
    if (daoOpen_DBConnection(Settings().Database, error) == 0)
        return true;
    ShowMessage(this, QStringLiteral("Error connecting to database!\n\n") + error,
                QMessageBox::Critical);
    return false;
}

// Runs work as one transaction on the open book, then closes the book. When any step fails
// nothing has changed: the user is told why and the window keeps its input.
bool frmCustomer::commitOrReport(const std::function<bool(QString&)>& work,
                                 const QString& failure) {
    QString error;
    const bool done =
        daoBegin_Transaction(error) == 0 && work(error) && daoCommit_Transaction(error) == 0;
    if (!done)
        daoRollback_Transaction();
    daoClose_DBConnection();
    if (!done)
        ShowMessage(this, failure + "\n\n" + error, QMessageBox::Critical);
    return done;
}

void frmCustomer::Save() {
    if (!ValidateProfile())
        return;
    const bool editing = !Tag.isEmpty();
    const QString account = TEXT_AccountNumber->text().trimmed();
    BusyPointer busy;
    if (!openForChange())
        return;
    if (!editing && accountExists(account)) {
        busy.release();
        daoClose_DBConnection();
        refuse(QStringLiteral("Sorry, the Account Number you have specified already exist."),
               CustomerPage, TEXT_AccountNumber);
        return;
    }
    if (!commitOrReport([&](QString& error) { return storeProfile(editing, error); },
                        QStringLiteral("Error saving to database!")))
        return;
    LogTransaction(
        (editing ? QStringLiteral("Edited account# ") : QStringLiteral("Added account# ")) +
        account);
    RefreshTree();
    accept();
}

// A master account takes every account linked to it along: profiles, invoices, balance rows.
bool frmCustomer::deleteAccountCascade(QString& error) {
    QStringList accounts;
    if (showsMasterMarker()) {
        if (daoGet_DBTableRecord(QLatin1String(sql::SelectProfilesOfMaster), error, {Tag}) != 0)
            return false;
        Recordset& rows = SharedRecordset();
        for (rows.MoveFirst(); !rows.EndOfFile(); rows.MoveNext())
            accounts << rows.Fields(col::AccountNumber).toString();
    }
    accounts << Tag;
    for (const QString& account : accounts) {
        if (deleteAccountRows(account, error) != 0)
            return false;
        QCoreApplication::processEvents();
    }
    return true;
}

void frmCustomer::Delete() {
    const QString question =
        showsMasterMarker()
            ? QStringLiteral("The customer profile you are about to delete is a master account. "
                             "All other accounts and invoices linked to it will also be "
                             "deleted.\n\nDo you wish to continue?")
            : QStringLiteral(
                  "Are you sure you wish to delete this customer profile and all linked invoices?");
    if (ShowMessage(this, question, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
                    QStringLiteral("Please Confirm")) != QMessageBox::Yes)
        return;
    BusyPointer busy;
    QCoreApplication::processEvents();
    if (!openForChange() ||
        !commitOrReport([this](QString& error) { return deleteAccountCascade(error); },
                        QStringLiteral("Error deleting from database!")))
        return;
    LogTransaction(QStringLiteral("Deleted account# ") + Tag);
    RefreshTree();
    accept();
}
