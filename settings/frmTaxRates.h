#pragma once

#include <QDialog>

class QPushButton;
class QTableWidget;

// The book's named tax rates, edited in a table: a name and a percent each. Nothing is stored
// before Save, which replaces the book's rates with the table's in one transaction.
class frmTaxRates : public QDialog {
    Q_OBJECT
  public:
    explicit frmTaxRates(QWidget* parent = nullptr);

    QTableWidget* TABLE_Rates = nullptr;
    QPushButton* CMD_Add = nullptr;
    QPushButton* CMD_Remove = nullptr;
    QPushButton* CMD_Save = nullptr;
    QPushButton* CMD_Cancel = nullptr;

  private:
    void loadRates();
    void addRow(const QString& name, const QString& percent);
    void addRate();
    void removeRate();
    void Save();
};
