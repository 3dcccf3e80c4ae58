#pragma once

#include "invoicelines.h"

#include <QDialog>
#include <array>
#include <optional>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
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
    // Tax on the charges above, and further lines below them; an invoice that never uses them
    // is the invoice of one line it always was.
    QComboBox* COMBO_Tax = nullptr;
    QPushButton* BUTTON_AddLine = nullptr;
    QPushButton* BUTTON_RemoveLine = nullptr;
    QTableWidget* TABLE_Lines = nullptr;
    QLabel* LABEL_Totals = nullptr;
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
    Stored storeForPrinting(InvoiceRecord* invoice, const std::vector<InvoiceLine>& lines,
                            ProfileRecord& profile);
    void buildLines(class QFormLayout* form);
    void showTaxRates(const std::vector<TaxRate>& rates, const QString& accountRate);
    void addLine();
    // Every line of the invoice, priced; none, having told the user, when one is not right.
    std::optional<std::vector<InvoiceLine>> pricedLines(bool tell);
    void showTotals();
    InvoiceCells cellsFor(const ProfileRecord& profile) const;
    void offerEmail(const InvoiceSheet& sheet, const ProfileRecord& profile);
    bool refuse(QWidget* field, const QString& message);
    void closeWindow();

    double UnitRate = 0.0;
    std::vector<TaxRate> taxRates_;
    bool FillingAccounts = false;
    bool Activated = false;
    bool checkingInvoiceNumber_ = false;
};
