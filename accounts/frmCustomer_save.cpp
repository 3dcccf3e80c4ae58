// Checking, saving and deleting a profile. Each save and each delete runs as one transaction:
// when any statement fails nothing is changed and the window keeps the user's input.
#include "accountreading.h"
#include "accounts.h"
#include "bookaccess.h"
#include "formats.h"
#include "frmCustomer.h"
#include "invoicelines.h"
#include "loggedchange.h"
#include "prompts.h"
#include "settings.h"

#include <QComboBox>
#include <QDate>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>

namespace {
constexpr int CustomerPage = 0;
constexpr int BillingPage = 1;

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

template <std::size_t N> std::array<QString, N> linesOf(const std::array<QLineEdit*, N>& lines) {
    std::array<QString, N> texts;
    for (std::size_t i = 0; i < N; ++i)
        texts[i] = lines[i]->text();
    return texts;
}
} // namespace

void frmCustomer::refuse(const QString& message, int page, QWidget* field) {
    ShowMessage(this, message, QMessageBox::Warning);
    SSTab1->setCurrentIndex(page);
    field->setFocus();
}

bool frmCustomer::ValidateProfile() {
    ProfileRecord entered = enteredProfile();
    entered.AccountNumber = TEXT_AccountNumber->text(); // checked as typed, stored trimmed
    const auto problem = CheckProfile(entered);
    if (!problem)
        return true;
    const std::pair<int, QWidget*> shown = [&]() -> std::pair<int, QWidget*> {
        switch (problem->field) {
        case ProfileField::AccountNumber:
            return {CustomerPage, TEXT_AccountNumber};
        case ProfileField::MasterAccount:
            return {CustomerPage, COMBO_MasterAccount};
        case ProfileField::CustomerName:
            return {CustomerPage, TEXT_Name};
        case ProfileField::BillAddress:
            return {BillingPage, TEXT_BillAddress[0]};
        case ProfileField::PayableTo:
            return {BillingPage, TEXT_Payable};
        case ProfileField::RecievingAddress:
            break;
        }
        return {BillingPage, TEXT_RecievingAddress[0]};
    }();
    refuse(problem->message, shown.first, shown.second);
    return false;
}

ProfileRecord frmCustomer::enteredProfile() const {
    ProfileRecord p;
    p.AccountNumber = TEXT_AccountNumber->text().trimmed();
    p.MasterAccount = chosenMaster();
    p.CustomerName = TEXT_Name->text();
    p.Email = TEXT_Email->text();
    p.Phone = TEXT_Phone->text();
    p.Address = linesOf(TEXT_Address);
    p.BusinessClass = COMBO_Class->currentText();
    p.Comments = TEXT_Comments->toPlainText();
    p.InvoiceType = chosenIndex(OPTION_InvoiceType);
    p.PaymentAmount = amountOf(TEXT_Payment);
    p.UnitPrice = amountOf(TEXT_Unit);
    p.PayableTo = TEXT_Payable->text();
    p.BillAddress = linesOf(TEXT_BillAddress);
    p.BillCycle = chosenIndex(OPTION_Cycle);
    p.Reserved = 0;
    p.MonthDay = TEXT_MonthDay->text();
    p.GraceDays = HScroll_Grace->value();
    p.RecievingAddress = linesOf(TEXT_RecievingAddress);
    return p;
}

// Only a changed rate is written: a save that leaves it alone never touches the book's tables
// of rates, which a book made before them does not have.
std::optional<QString> frmCustomer::changedTaxName() const {
    const QString chosen = COMBO_Tax->currentData().toString();
    if (!taxRead_ || chosen == *taxRead_)
        return std::nullopt;
    return chosen;
}

// Runs a change of the book and reports it. When it fails nothing has changed: the user is
// told why and the window keeps its input. The book is closed before any message shows.
bool frmCustomer::changeOrReport(const std::function<Outcome()>& change, const QString& failure) {
    const auto changed =
        ReadFromBook<Done>(this, QStringLiteral("Error connecting to database!\n\n"), change);
    if (!changed)
        return false;
    if (!changed->ok())
        ShowMessage(this, failure + "\n\n" + changed->error(), QMessageBox::Critical);
    return changed->ok();
}

// A profile edited while another desk changed it would be saved over that desk's change.
bool frmCustomer::stillAsRead() {
    if (!reading_)
        return true;
    switch (CheckStillAsRead(this, *reading_)) {
    case SaveOverReading::Proceed:
        return true;
    case SaveOverReading::Reload: {
        std::optional<QString> taxName;
        const auto stored = ReadFromBook<AccountReading>(
            this, QStringLiteral("Error opening main database.\n\n"), [&] {
                if (const auto tax = AccountTaxName(Tag))
                    taxName = *tax;
                return ReadProfileAsStored(Tag);
            });
        if (!stored)
            return false;
        if (stored->ok())
            reading_ = stored->value();
        loadProfile(reading_->profile, stored->error());
        // The account's rate as the other desk left it, too.
        if (taxName && taxRead_) {
            taxRead_ = *taxName;
            if (COMBO_Tax->findData(*taxName) < 0)
                COMBO_Tax->addItem(*taxName + " (no longer a rate)", *taxName);
            COMBO_Tax->setCurrentIndex(COMBO_Tax->findData(*taxName));
        }
        return false;
    }
    case SaveOverReading::Keep:
        return false;
    }
    return false;
}

void frmCustomer::Save() {
    if (!ValidateProfile() || !stillAsRead())
        return;
    const bool editing = !Tag.isEmpty();
    const ProfileRecord profile = enteredProfile();
    bool duplicate = false;
    LoggedChange logged = LoggedChange::AccountSaved(profile, editing);
    const bool saved = changeOrReport(
        [&]() -> Outcome {
            const auto stored = SaveAccount(profile, Tag, changedTaxName());
            if (!stored)
                return stored.failure();
            duplicate = *stored == AccountSave::Duplicate;
            return Done{};
        },
        QStringLiteral("Error saving to database!"));
    if (saved && !duplicate)
        logged.Landed();
    else
        logged.Dropped();
    if (duplicate) {
        refuse(QStringLiteral("Sorry, the Account Number you have specified already exist."),
               CustomerPage, TEXT_AccountNumber);
        return;
    }
    if (!saved)
        return;
    accept();
}

void frmCustomer::Delete() {
    const bool master = showsMasterMarker();
    const QString question =
        master ? QStringLiteral("The customer profile you are about to delete is a master account. "
                                "All other accounts and invoices linked to it will also be "
                                "deleted.\n\nDo you wish to continue?")
               : QStringLiteral("Are you sure you wish to delete this customer profile and all "
                                "linked invoices?");
    if (ShowMessage(this, question, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
                    QStringLiteral("Please Confirm")) != QMessageBox::Yes)
        return;
    LoggedChange logged = LoggedChange::AccountDeleted(Tag);
    if (!changeOrReport([&] { return DeleteAccount(Tag, master); },
                        QStringLiteral("Error deleting from database!")))
        return logged.Dropped();
    logged.Landed();
    accept();
}
