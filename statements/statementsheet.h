#pragma once

#include "sheetprinting.h"

class QWidget;
struct StatementSheetPlan;

// The statement workbook for one statement. It is closed without saving when this ends,
// whatever happened, so the form on disk never changes.
class StatementSheet {
  public:
    explicit StatementSheet(QWidget* owner) : owner_(owner) {}
    ~StatementSheet();
    StatementSheet(const StatementSheet&) = delete;
    StatementSheet& operator=(const StatementSheet&) = delete;

    // Opens pellorystmt.xls from the program folder; says so when it cannot.
    bool open();
    // Writes the statement's texts a block of cells at a time, then bolds and borders.
    // False at the first write the office did not take.
    [[nodiscard]] bool write(const StatementSheetPlan& plan);
    // Prints the statement on the printer chosen; says so when printing fails.
    SheetPrint print(const ChosenPrinter& printer);
    // Closes the workbook without saving; safe to call more than once.
    void close();

  private:
    QWidget* owner_;
    bool open_ = false;
};

// The statement form in the program folder.
QString StatementWorkbookPath();
