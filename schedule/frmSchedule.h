#pragma once

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;
class WindowToolbar;

// The billing schedule: accounts on a monthly cycle with no invoice billed this month. A double
// click closes it and starts that account's invoice; "Bill all due" bills them all in one run.
class frmSchedule : public QDialog {
    Q_OBJECT
  public:
    explicit frmSchedule(QWidget* parent = nullptr);

    void FillSchedule();

    QLabel* LABEL_Help = nullptr;
    QLabel* LABEL_Today = nullptr;
    QLabel* LABEL_Schedule = nullptr;
    QListWidget* LIST_Cycle = nullptr;
    QPushButton* CMD_BillAllDue = nullptr;
    WindowToolbar* Toolbar1 = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void startInvoice();
    void billAllDue();

    bool Activated = false;
};
