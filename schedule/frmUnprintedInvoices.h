#pragma once

#include <QDialog>

class QListWidget;
class QPushButton;

// The invoices of a billing run that are stored but were not printed, each printed again from
// here (Reprint Invoice).
class frmUnprintedInvoices : public QDialog {
    Q_OBJECT
  public:
    frmUnprintedInvoices(const QStringList& numbers, QWidget* parent = nullptr);

    QListWidget* LIST_Invoices = nullptr;
    QPushButton* CMD_Reprint = nullptr;

  private:
    void reprintSelected();
};
