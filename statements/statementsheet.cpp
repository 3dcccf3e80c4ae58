#include "statementsheet.h"

#include "busypointer.h"
#include "customerstatements.h"
#include "modExcel.h"
#include "paths.h"
#include "prompts.h"

#include <QDir>

namespace {
const QString SheetName = QStringLiteral("Statement");
} // namespace

QString StatementWorkbookPath() {
    return ProgramFile(QStringLiteral("pellorystmt.xls"));
}

StatementSheet::~StatementSheet() {
    close();
}

bool StatementSheet::fill(const Statement& statement) {
    if (!open())
        return false;
    BusyPointer busy;
    const bool written = write(statement);
    busy.release();
    if (!written)
        ShowMessage(owner_,
                    "Error writing the statement into its worksheet; the statement was not " +
                        done_ + ".",
                    QMessageBox::Critical);
    return written;
}

bool StatementSheet::open() {
    BusyPointer busy;
    open_ = xlsOpen_Workbook(StatementWorkbookPath()) == 0;
    busy.release();
    if (!open_)
        ShowMessage(owner_,
                    "Error loading the statement workbook pellorystmt.xls from the program "
                    "folder; the statement was not " +
                        done_ + ".",
                    QMessageBox::Critical);
    return open_;
}

bool StatementSheet::write(const Statement& statement) {
    const StatementSheetPlan plan = PlanStatementSheet(statement);
    for (const SheetTexts& texts : plan.texts)
        if (!xlsSet_CellValues(StatementSheetIndex, texts.row, texts.column, texts.texts))
            return false;
    for (const auto& [row, column] : plan.bold)
        if (!xlsSet_CellFont(StatementSheetIndex, row, column))
            return false;
    for (const auto& [row, column] : plan.bordered)
        if (!xlsSet_CellStyle(StatementSheetIndex, row, column))
            return false;
    return true;
}

SheetPrint StatementSheet::print(const ChosenPrinter& printer) {
    const SheetPrint printed = PrintOnPrinter(owner_, SheetName, printer);
    if (printed == SheetPrint::Failed)
        ShowMessage(owner_, "Error printing excel worksheet [" + SheetName + "]",
                    QMessageBox::Critical);
    return printed;
}

bool StatementSheet::exportPdf(const QString& path) {
    BusyPointer busy;
    const bool exported = xlsExport_WorksheetPdf(SheetName, path);
    busy.release();
    if (!exported)
        ShowMessage(owner_,
                    "The statement could not be written as a PDF to " +
                        QDir::toNativeSeparators(path) +
                        " (is the folder there and may it be written to?); nothing was written "
                        "and the statement was not " +
                        done_ + ".",
                    QMessageBox::Critical);
    return exported;
}

void StatementSheet::close() {
    if (!open_)
        return;
    BusyPointer busy;
    CloseWithoutSaving();
    open_ = false;
}
