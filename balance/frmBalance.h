#pragma once

#include "accountreading.h"

#include <QDialog>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class WindowToolbar;
struct AccountActivity;

// The account balance window: records what a customer paid against each invoice, shows the
// account's running balance, and removes the account's last invoice. It stays open after each
// stored change.
class frmBalance : public QDialog {
    Q_OBJECT
  public:
    explicit frmBalance(QWidget* parent = nullptr);

    // The account to open, set before the window is shown; empty lets the user choose.
    QString Tag;
    // An invoice of that account to select once the list is filled; emptied when used.
    QString SelectedInvoice;

    // Resets the window and loads one account, or the account list when the number is empty.
    void LoadAccount(const QString& accountNumber);

    WindowToolbar* Toolbar1 = nullptr;
    QLabel* LABEL_Help = nullptr;
    QComboBox* COMBO_AccountNumber = nullptr;
    QLabel* LABEL_Name = nullptr;
    QListWidget* LIST_Invoices = nullptr;
    QLineEdit* TEXT_DateBilled = nullptr;
    QLineEdit* TEXT_DateDue = nullptr;
    QLineEdit* TEXT_DateRecieved = nullptr;
    QLineEdit* TEXT_PaymentDue = nullptr;
    QLineEdit* TEXT_PaymentBilled = nullptr;
    QLineEdit* TEXT_PaymentRecieved = nullptr;
    QLineEdit* TEXT_Reference = nullptr;
    QLineEdit* TEXT_Balance = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void buildWindow();
    QLayout* buildInvoiceFields();
    void firstActivation();
    void resetFields();
    void loadAccount(const QString& accountNumber, bool reloading);
    void showActivity(const AccountActivity& activity);
    void fillAccountList(const QStringList& numbers);
    void bookChanged();
    void selectInvoice(const QString& number);
    void showInvoice(const InvoiceRecord& invoice);
    void recomputeBalance(const QString& received);
    void showBalance(double balance);
    void setPaymentFieldsEditable(bool editable);
    bool ValidateEdits();
    bool stillAsRead();
    bool refuse(QWidget* field, const QString& message);
    void dispatchCommand(const QString& tag);
    void Save();
    void Delete();
    QString selectedLine() const;
    void closeWindow();

    double baseBalance_ = 0.0;
    double receivedBeforeEdit_ = 0.0;
    bool loading_ = false;
    // The account whose figures are shown; empty while none is.
    QString shownAccount_;
    // The stored rows the shown invoice and balance were read from.
    std::optional<AccountReading> reading_;
    // The user has typed into the payment fields since they were filled or saved.
    bool editsPending_ = false;
    bool Activated = false;
};
