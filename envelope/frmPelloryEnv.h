#pragma once

#include "envelopebook.h"

#include <QDialog>
#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class WindowToolbar;

// The envelope printer, the whole of the program pelloryenv: one account's billing address
// and the remembered return address, printed on the envelope workbook. Closing it, however it
// closes, remembers the return address and ends the program.
class frmPelloryEnv : public QDialog {
    Q_OBJECT
  public:
    // Why the program cannot start with the settings it read; empty when it can.
    const QString& StartError() const { return settings_.error; }
    // Reads the return address and the main program's Database and Copies; throws
    // std::runtime_error when Copies is not a 16-bit number.
    explicit frmPelloryEnv(QWidget* parent = nullptr);
    ~frmPelloryEnv() override;

    QComboBox* COMBO_AccountNumber = nullptr;
    QLabel* LABEL_Name = nullptr;
    std::array<QLineEdit*, 4> TEXT_Address{};
    std::array<QLineEdit*, 4> TEXT_BillAddress{};
    QLabel* LABEL_Help = nullptr;
    WindowToolbar* Toolbar1 = nullptr;

    void done(int result) override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void buildWindow();
    void LoadEnvelopeAccount(const QString& accountNumber);
    void fillAccountList();
    void showAddressee(const QString& accountNumber);
    void onCommand(const QString& tag);
    void PrintEnvelope();
    void printOnWorkbook(const QString& deviceName, int copies);
    AddressLines lines(const std::array<QLineEdit*, 4>& fields) const;

    EnvelopeSettings settings_;
    bool Activated = false;
    bool FillingAccounts = false;
};
