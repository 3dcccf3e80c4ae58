#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// Writes the books for the accountant: the accounts, the invoices billed in a period with their
// payments, their lines, and the balances, as four CSV files in a folder the user chooses, and
// the same as one workbook with a sheet each when the office can be started.
class frmExport : public QDialog {
    Q_OBJECT
  public:
    explicit frmExport(QWidget* parent = nullptr);

    QLineEdit* TEXT_From = nullptr; // blank: from the first invoice
    QLineEdit* TEXT_To = nullptr;   // blank: to the last
    QLineEdit* TEXT_Folder = nullptr;
    QPushButton* CMD_Folder = nullptr;
    QRadioButton* OPTION_Plain = nullptr;
    QRadioButton* OPTION_Locale = nullptr;
    QCheckBox* CHECK_Workbook = nullptr; // also books.ods, when the office is there
    QPushButton* CMD_Export = nullptr;
    QPushButton* CMD_Cancel = nullptr;

  private:
    void chooseFolder();
    void Export();
};
