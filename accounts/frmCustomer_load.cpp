// Opening the editor on a profile, and copying billing details from a master account.
#include "accounts.h"
#include "bookaccess.h"
#include "columns.h"
#include "events.h"
#include "formats.h"
#include "frmCustomer.h"
#include "invoicelines.h"
#include "prompts.h"
#include "settings.h"
#include "windowparts.h"
#include "windowtoolbar.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>

namespace {
QString moneyText(const QVariant& stored) {
    const auto amount = ParseMoney(stored);
    return amount ? FormatMoney(*amount) : stored.toString();
}

template <std::size_t N>
void showLines(std::array<QLineEdit*, N>& lines, const std::array<QString, N>& texts) {
    for (std::size_t i = 0; i < N; ++i)
        lines[i]->setText(texts[i]);
}

template <std::size_t N> void chooseOption(std::array<QRadioButton*, N>& options, int index) {
    if (index >= 0 && index < static_cast<int>(N))
        options[index]->setChecked(true);
}
} // namespace

void frmCustomer::loadOnFirstActivation() {
    std::vector<ProfileRecord> masters;
    std::optional<BookFailure> mastersUnread;
    std::optional<ProfileRecord> profile;
    QString profileError;
    std::vector<TaxRate> rates;
    std::optional<BookFailure> ratesUnread;
    std::optional<BookFailure> taxUnread;
    const bool opened =
        WorkOnBook(this, QStringLiteral("Error opening main database, cannot continue.\n\n"), [&] {
            const auto read = ProfilesOfMaster(QLatin1String(MasterMarker));
            if (read)
                masters = *read;
            else
                mastersUnread = read.failure();
            if (auto readRates = ReadTaxRates())
                rates = std::move(*readRates);
            else
                ratesUnread = readRates.failure();
            if (Tag.isEmpty()) {
                taxRead_ = QString();
                return;
            }
            if (const auto taxName = AccountTaxName(Tag))
                taxRead_ = *taxName;
            else
                taxUnread = taxName.failure();
            const auto stored = ReadProfileAsStored(Tag);
            if (stored) {
                reading_ = *stored;
                profile = stored->profile;
            } else {
                profileError = stored.error();
            }
        });
    if (!opened) {
        reject();
        return;
    }
    for (const ProfileRecord& master : masters)
        COMBO_MasterAccount->addItem(master.AccountNumber + ", " + master.CustomerName,
                                     master.AccountNumber);
    if (mastersUnread)
        ShowIncompleteRead(this, QStringLiteral("The list of master accounts"), *mastersUnread);
    showTaxChoices(rates, taxRead_);
    if (ratesUnread)
        ShowIncompleteRead(this, QStringLiteral("The list of tax rates"), *ratesUnread);
    if (taxUnread)
        ShowIncompleteRead(this, "The tax rate of account " + Tag + " (it is saved as it was)",
                           *taxUnread);
    if (Tag.isEmpty()) {
        TEXT_AccountNumber->setReadOnly(false);
        Toolbar1->button(QStringLiteral("OK"))->setEnabled(true);
        TEXT_AccountNumber->setFocus();
    } else {
        loadProfile(profile, profileError);
    }
    showGraceDays();
}

void frmCustomer::loadProfile(const std::optional<ProfileRecord>& profile,
                              const QString& readError) {
    loading_ = true;
    setWindowTitle(QStringLiteral("Customer Profile - [") + Tag + ']');
    LetEventsRun();
    if (!readError.isEmpty()) {
        ShowMessage(this,
                    "Error reading customer profile information from database.\n\n" + readError,
                    QMessageBox::Critical);
        loading_ = false;
        return;
    }
    if (profile)
        showProfile(*profile);
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
    LetEventsRun();
    if (showsMasterMarker())
        lockMasterBox();
    LetEventsRun();
    TEXT_Name->setFocus();
    loading_ = false;
}

void frmCustomer::showProfile(const ProfileRecord& p) {
    TEXT_AccountNumber->setText(p.AccountNumber);
    COMBO_MasterAccount->setCurrentIndex(COMBO_MasterAccount->findData(p.MasterAccount));
    TEXT_Name->setText(p.CustomerName);
    TEXT_Email->setText(p.Email);
    TEXT_Phone->setText(p.Phone);
    showLines(TEXT_Address, p.Address);
    COMBO_Class->setCurrentText(p.BusinessClass);
    TEXT_Comments->setPlainText(p.Comments);
    chooseOption(OPTION_InvoiceType, p.InvoiceType);
    TEXT_Payment->setText(moneyText(p.PaymentAmount));
    TEXT_Unit->setText(moneyText(p.UnitPrice));
    TEXT_Payable->setText(p.PayableTo);
    showLines(TEXT_BillAddress, p.BillAddress);
    chooseOption(OPTION_Cycle, p.BillCycle);
    TEXT_MonthDay->setText(p.MonthDay);
    HScroll_Grace->setValue(p.GraceDays);
    showLines(TEXT_RecievingAddress, p.RecievingAddress);
}

// A stored name that is no longer one of the book's rates is still offered, so that saving the
// profile keeps it unless the user chooses another.
void frmCustomer::showTaxChoices(const std::vector<TaxRate>& rates,
                                 const std::optional<QString>& stored) {
    COMBO_Tax->addItem(QStringLiteral("(none)"), QString());
    for (const TaxRate& rate : rates)
        COMBO_Tax->addItem(rate.name, rate.name);
    if (!stored) {
        COMBO_Tax->setEnabled(false);
        return;
    }
    if (!stored->isEmpty() && COMBO_Tax->findData(*stored) < 0)
        COMBO_Tax->addItem(*stored + " (no longer a rate)", *stored);
    COMBO_Tax->setCurrentIndex(COMBO_Tax->findData(*stored));
}

// A master account cannot become a linked one.
void frmCustomer::lockMasterBox() {
    COMBO_MasterAccount->setEnabled(false);
    ShowAsEntryField(COMBO_MasterAccount, false);
}

void frmCustomer::CopyFromMaster(const QString& master) {
    if (master == QLatin1String(MasterMarker))
        return;
    LetEventsRun();
    const auto read = ReadFromBook<std::optional<ProfileRecord>>(
        this, QStringLiteral("Error opening main database.\n\n"),
        [&] { return ReadProfile(master); });
    if (!read)
        return;
    if (!read->ok()) {
        ShowIncompleteRead(this, "The billing details of master account " + master,
                           read->failure());
        return;
    }
    const std::optional<ProfileRecord>& profile = read->value();
    if (!profile)
        return;
    chooseOption(OPTION_Cycle, profile->BillCycle);
    TEXT_MonthDay->setText(profile->MonthDay);
    HScroll_Grace->setValue(profile->GraceDays);
    // The master's own address is where its linked accounts' payments go.
    showLines(TEXT_RecievingAddress, profile->Address);
    TEXT_Payable->setText(profile->PayableTo);
}
