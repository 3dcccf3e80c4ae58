#pragma once

#include <QDialog>
#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class WindowToolbar;
class InvoiceSheet;
struct InvoiceCells;
struct InvoiceDraft;
struct InvoiceRecord;
struct ProfileRecord;

// The create-invoice window: turns one account's billing terms into a numbered invoice,
// advances its balance, prints the invoice and keeps a backup copy. It also prints blank
// invoices. It closes itself after every completed command.
class frmInvoice : public QDialog {
    Q_OBJECT
  public:
    explicit frmInvoice(QWidget* parent = nullptr);

    // The account to work on, set before the window is shown; empty lets the user choose.
    QString Tag;

    // Fills the window for one account, or the account list when the number is empty.
    void LoadAccount(const QString& accountNumber);
    // Checks the entries in their fixed order; false at the first that fails.
    bool ValidateInvoice();

    QComboBox* COMBO_AccountNumber = nullptr;
    QLabel* LABEL_Name = nullptr;
    QLineEdit* TEXT_Invoice = nullptr;
    QLineEdit* TEXT_DateBilled = nullptr;
    QLineEdit* TEXT_DateDue = nullptr;
    std::array<QLineEdit*, 2> TEXT_Message{};
    QComboBox* COMBO_Description = nullptr;
    QLineEdit* TEXT_Payable = nullptr;
    QLineEdit* TEXT_Units = nullptr;
    QLineEdit* TEXT_Payment = nullptr;
    QLineEdit* TEXT_Balance = nullptr;
    QLabel* LABEL_Help = nullptr;
    WindowToolbar* Toolbar1 = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildWindow();
    void firstActivation();
    void resetFields();
    void fillAccountList(const QStringList& numbers);
    void showDraft(const InvoiceDraft& draft);
    void checkInvoiceNumber();
    bool normaliseInvoiceNumber();
    void onCommand(const QString& tag);
    void PrintSave();
    void PrintBlank();
    enum class Stored { Ready, NotOpened, Refused };
    Stored storeForPrinting(InvoiceRecord* invoice, double charges, ProfileRecord& profile);
    InvoiceCells cellsFor(const ProfileRecord& profile) const;
    void offerEmail(const InvoiceSheet& sheet, const ProfileRecord& profile);
    bool refuse(QWidget* field, const QString& message);
    void closeWindow();

    double UnitRate = 0.0;
    bool FillingAccounts = false;
    bool Activated = false;
    bool checkingInvoiceNumber_ = false;
};
