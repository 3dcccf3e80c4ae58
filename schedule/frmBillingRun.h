#pragma once

#include "billingrun.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

// "Bill all due": every account due this month with the invoice it would get. The user changes
// units, rate and description, unticks rows, then stores the ticked ones in one transaction,
// prints them after one printer choice, and may email them.
class frmBillingRun : public QDialog {
    Q_OBJECT
  public:
    explicit frmBillingRun(QWidget* parent = nullptr);

    enum Column { Tick, Account, Name, Description, Units, Rate, Amount, Tax, Total, Number, Note };

    QLabel* LABEL_Help = nullptr;
    QTableWidget* TABLE_Run = nullptr;
    QLabel* LABEL_Totals = nullptr;
    QPushButton* CMD_Store = nullptr;
    QPushButton* CMD_Cancel = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void loadPlan();
    void showRow(int row);
    void showFigures();
    void takeEdit(QTableWidgetItem* item);
    bool takeNumber(QTableWidgetItem* item, double& into);
    void storeAndPrint();
    // Prints the stored invoices after one printer choice; the numbers not printed come back.
    QStringList printStored(const std::vector<StoredInvoice>& stored, QString& printerNote);
    void offerEmail(const std::vector<StoredInvoice>& stored);

    BillingPlan plan_;
    bool showing_ = false; // the table is being filled, not edited
    bool Activated = false;
};
