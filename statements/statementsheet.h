#pragma once

#include "sheetprinting.h"

class QWidget;
struct Statement;

// The statement workbook for one statement. It is closed without saving when this ends,
// whatever happened, so the form on disk never changes.
class StatementSheet {
  public:
    // done is what the statement was to become ("printed", "saved"), for the messages that
    // tell it was not.
    StatementSheet(QWidget* owner, QString done) : owner_(owner), done_(std::move(done)) {}
    ~StatementSheet();
    StatementSheet(const StatementSheet&) = delete;
    StatementSheet& operator=(const StatementSheet&) = delete;

    // Opens pellorystmt.xls from the program folder and writes the statement into it; says so
    // when either fails.
    bool fill(const Statement& statement);
    // Prints the statement on the printer chosen; says so when printing fails.
    SheetPrint print(const ChosenPrinter& printer);
    // Writes the statement as a PDF file at path, whole or not at all; says so when it cannot.
    bool exportPdf(const QString& path);
    // Closes the workbook without saving; safe to call more than once.
    void close();

  private:
    bool open();
    // Writes the statement's texts a block of cells at a time, then bolds and borders.
    // False at the first write the office did not take.
    [[nodiscard]] bool write(const Statement& statement);

    QWidget* owner_;
    QString done_;
    bool open_ = false;
};

// The statement form in the program folder.
QString StatementWorkbookPath();
