#pragma once

#include "csvfile.h"
#include "customerimport.h"

#include <QDialog>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

// Imports new customers from a comma-separated file: shows the file's first rows, lets the user
// choose the field each column fills, and stores the accounts the rules accept in one go.
class frmImport : public QDialog {
    Q_OBJECT
  public:
    frmImport(const QString& path, CsvTable table, QWidget* parent = nullptr);

    QLabel* LABEL_File = nullptr;
    QTableWidget* TABLE_Preview = nullptr; // row 0 holds the field choosers, then the file's rows
    std::vector<QComboBox*> COMBO_Field;   // one a column
    QCheckBox* CHECK_Replace = nullptr;
    QPushButton* CMD_Import = nullptr;
    QPushButton* CMD_Cancel = nullptr;

  private:
    ImportMapping chosenMapping() const;
    void Import();

    QString path_;
    CsvTable table_;
};

// "Import New Customer": asks for the file, reads it and opens the import window on it.
void ImportNewCustomers(QWidget* owner);
