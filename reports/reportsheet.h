#pragma once

#include "sheetprinting.h"

#include <QString>

class QWidget;
struct ReportSheetPlan;

// The report sheet of the invoice workbook for one report. The workbook is closed without
// saving when this ends, whatever happened, so the template on disk never changes.
class ReportSheet {
  public:
    // notDone is added to the message that the workbook could not be opened ("Nothing was
    // written.").
    explicit ReportSheet(QWidget* owner, QString notDone = {})
        : owner_(owner), notDone_(std::move(notDone)) {}
    ~ReportSheet();
    ReportSheet(const ReportSheet&) = delete;
    ReportSheet& operator=(const ReportSheet&) = delete;

    // Opens the workbook of the Worksheet setting; says so when it cannot.
    bool open();
    // Writes the report's texts into Sheet2, a block of cells at a time, keeping window
    // events flowing. False at the first write the office did not take.
    [[nodiscard]] bool write(const ReportSheetPlan& plan);
    // Lets the user choose the printer and prints Sheet2; says so when printing fails.
    SheetPrint print();
    // Writes Sheet2 as a PDF file at path, whole or not at all; says so when it cannot.
    bool exportPdf(const QString& path);
    // Closes the workbook without saving; safe to call more than once.
    void close();

  private:
    QWidget* owner_;
    QString notDone_;
    bool open_ = false;
};
