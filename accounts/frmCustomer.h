#pragma once

#include "accountreading.h"
#include "invoicelines.h"
#include "result.h"

#include <QDialog>
#include <array>
#include <functional>
#include <optional>
#include <vector>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;
class QScrollBar;
class QTabWidget;
class QWidget;
class WindowToolbar;

// The customer profile editor: creates, edits and deletes one account. Tag holds the account
// to edit; empty means a new account. Shown modally; it closes itself after a save or delete.
class frmCustomer : public QDialog {
    Q_OBJECT
  public:
    explicit frmCustomer(QWidget* parent = nullptr);

    QString Tag;

    WindowToolbar* Toolbar1 = nullptr;
    QTabWidget* SSTab1 = nullptr;
    QLabel* LABEL_Help = nullptr;
    // Page 0: customer information.
    QLineEdit* TEXT_AccountNumber = nullptr;
    QComboBox* COMBO_MasterAccount = nullptr;
    QLineEdit* TEXT_Name = nullptr;
    QLineEdit* TEXT_Email = nullptr;
    QLineEdit* TEXT_Phone = nullptr;
    std::array<QLineEdit*, 4> TEXT_Address{};
    QComboBox* COMBO_Class = nullptr;
    QPlainTextEdit* TEXT_Comments = nullptr;
    // Page 1: billing information.
    QGroupBox* FRAME_InvoiceType = nullptr;
    std::array<QRadioButton*, 3> OPTION_InvoiceType{};
    QLineEdit* TEXT_Payment = nullptr;
    QLineEdit* TEXT_Unit = nullptr;
    QLineEdit* TEXT_Payable = nullptr;
    std::array<QLineEdit*, 4> TEXT_BillAddress{};
    QGroupBox* FRAME_Cycle = nullptr;
    std::array<QRadioButton*, 2> OPTION_Cycle{};
    QLineEdit* TEXT_MonthDay = nullptr;
    QScrollBar* HScroll_Grace = nullptr;
    QLabel* LABEL_Grace = nullptr;
    std::array<QLineEdit*, 4> TEXT_RecievingAddress{};
    // The book's tax rates, "(none)" first; each item carries the name stored.
    QComboBox* COMBO_Tax = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QWidget* buildCustomerPage();
    QWidget* buildBillingPage();
    QGroupBox* buildInvoiceTypeFrame();
    QGroupBox* buildCycleFrame();
    void connectFieldBehaviour();
    void dispatchCommand(const QString& tag);

    void loadOnFirstActivation();
    void loadProfile(const std::optional<ProfileRecord>& profile, const QString& readError);
    void showTaxChoices(const std::vector<TaxRate>& rates, const std::optional<QString>& stored);
    // The tax name to store with the profile: none when it stays as stored.
    std::optional<QString> changedTaxName() const;
    void lockMasterBox();
    void CopyFromMaster(const QString& master);
    bool ValidateProfile();
    bool stillAsRead();
    void Save();
    void Delete();
    bool changeOrReport(const std::function<Outcome()>& change, const QString& failure);
    ProfileRecord enteredProfile() const;
    void showProfile(const ProfileRecord& profile);
    void showGraceDays();
    QString chosenMaster() const; // the stored value of the master chosen; empty for none
    bool showsMasterMarker() const;
    void refuse(const QString& message, int page, QWidget* field);

    bool Activated = false;
    bool loading_ = false;
    // The profile as stored when the window read it; none for a new account.
    std::optional<AccountReading> reading_;
    // The account's tax name as read; none when it could not be read, and then it is not saved.
    std::optional<QString> taxRead_;
};
