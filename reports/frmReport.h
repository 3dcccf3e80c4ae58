#pragma once

#include <QDialog>
#include <array>
#include <optional>
#include <utility>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QDate;
class ReportSheet;
class WindowToolbar;
struct ReportRequest;
struct ReportJob;
struct ReportSheetPlan;

// The summary report window: one account, its linked accounts or both, over a date range, a
// month or the year to date; and the tax collected from every account over the date range. It
// stays open so that several reports can be printed.
class frmReport : public QDialog {
    Q_OBJECT
  public:
    explicit frmReport(QWidget* parent = nullptr);

    // The account to start with, set before the window is shown; empty lets the user choose.
    QString Tag;

    // With an empty number fills the account list; otherwise shows the account's name and
    // allows printing when it has invoices.
    void LoadReportAccount(const QString& accountNumber);
    // Checks the date range when that report type is chosen; false at the first bad date.
    bool ValidateReportInput();
    void PrintReport();
    void PrintTaxCollected();
    // The same reports written as PDF files the user names instead of printed.
    void SaveReportPdf();
    void SaveTaxCollectedPdf();

    QLabel* LABEL_Help = nullptr;
    QComboBox* COMBO_AccountNumber = nullptr;
    QLabel* LABEL_Name = nullptr;
    QGroupBox* FRAME_ReportType = nullptr;
    std::array<QRadioButton*, 3> OPTION_Report{}; // 0 year to date, 1 monthly, 2 date range
    QLineEdit* TEXT_DateFrom = nullptr;
    QLineEdit* TEXT_DateTo = nullptr;
    QComboBox* COMBO_Month = nullptr;
    QLineEdit* TEXT_Year = nullptr;
    std::array<QRadioButton*, 3> OPTION_Linked{}; // 0 all linked too, 1 only linked, 2 only it
    WindowToolbar* Toolbar1 = nullptr;

  public slots:
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildWindow();
    QWidget* buildReportTypeFrame();
    QWidget* buildLinkedChoice();
    void watchAccountBox();
    void checkAccount(const QString& accountNumber);
    ReportRequest request() const;
    // False at the first bad date of the range, the user told.
    bool validateDateRange();
    // True when the chosen account, checked now if it was not yet, has a report to make.
    bool reportReady();
    // The chosen account's report, none when it cannot be read. done is what the report is for
    // ("printed", "written"), for the message that it was not.
    std::optional<ReportJob> readReport(const QString& done);
    // The date range, none when it is no range (the user told) or work is under way.
    std::optional<std::pair<QDate, QDate>> taxRange();
    std::optional<ReportJob> readTaxCollected(const std::pair<QDate, QDate>& range,
                                              const QString& done);
    // Opens the workbook and writes the report into it; says so when either fails.
    bool fillSheet(ReportSheet& sheet, const ReportSheetPlan& plan, const QString& done);
    void printOnReportSheet(const ReportJob& job);
    void saveAsPdf(const ReportJob& job);

    QString checkedAccount_; // the account number LoadReportAccount last ran on
    bool FillingAccounts = false;
    bool Activated = false;
    bool working_ = false; // reading the book or printing: commands and closing wait
};
