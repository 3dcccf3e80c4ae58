#pragma once

#include <QDialog>
#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class WindowToolbar;

// The settings window: the database, the workbook, the invoice messages, the unit descriptions,
// the copies, tax, logging and the tips. Nothing is stored before Save Settings, which also
// compacts and backs up the database that was in use, loads the settings again and rebuilds the
// tree.
class frmSettings : public QDialog {
    Q_OBJECT
  public:
    explicit frmSettings(QWidget* parent = nullptr);

    WindowToolbar* Toolbar1 = nullptr;
    QLabel* LABEL_Help = nullptr;
    QGroupBox* FRAME_Database = nullptr;
    QLineEdit* TEXT_Database = nullptr;
    QPushButton* BUTTON_DBBrowse = nullptr;
    QPushButton* BUTTON_MoveBook = nullptr;
    QPushButton* BUTTON_Restore = nullptr;
    QGroupBox* FRAME_Invoice = nullptr;
    QLineEdit* TEXT_Worksheet = nullptr;
    QPushButton* BUTTON_EXBrowse = nullptr;
    std::array<QLineEdit*, 2> TEXT_Message{};
    QComboBox* COMBO_Description = nullptr;
    QPushButton* BUTTON_NewDescription = nullptr;
    QPushButton* BUTTON_DelDescription = nullptr;
    QScrollBar* HScroll_Copies = nullptr;
    QLabel* LABEL_DefaultCopies = nullptr;
    QComboBox* COMBO_TaxRounding = nullptr; // in TaxRounding's order
    QPushButton* BUTTON_TaxRates = nullptr;
    QGroupBox* FRAME_Misc = nullptr;
    QCheckBox* CHECK_Transaction = nullptr;
    QPushButton* BUTTON_Transaction = nullptr;
    QCheckBox* CHECK_NoShow = nullptr;

  private:
    QGroupBox* buildDatabaseFrame();
    QGroupBox* buildInvoiceFrame();
    QGroupBox* buildMiscFrame();
    void loadSettings();
    void dispatchCommand(const QString& tag);

    void browseDatabase();
    void moveBook();
    void browseWorksheet();
    void newDescription();
    void deleteDescription();
    void purgeLog();
    void Save();
    // False when the store did not take one of them.
    bool writeSettings();
};
