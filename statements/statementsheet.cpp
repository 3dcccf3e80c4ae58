#include "statementsheet.h"

#include "busypointer.h"
#include "customerstatements.h"
#include "modExcel.h"
#include "paths.h"
#include "prompts.h"

namespace {
const QString SheetName = QStringLiteral("Statement");
} // namespace

QString StatementWorkbookPath() {
    return ProgramFile(QStringLiteral("pellorystmt.xls"));
}

StatementSheet::~StatementSheet() {
    close();
}

bool StatementSheet::open() {
    BusyPointer busy;
    open_ = xlsOpen_Workbook(StatementWorkbookPath()) == 0;
    busy.release();
    if (!open_)
        ShowMessage(owner_,
                    QStringLiteral("Error loading the statement workbook pellorystmt.xls from the "
                                   "program folder; the statement was not printed."),
                    QMessageBox::Critical);
    return open_;
}

bool StatementSheet::write(const StatementSheetPlan& plan) {
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

void StatementSheet::close() {
    if (!open_)
        return;
    BusyPointer busy;
    CloseWithoutSaving();
    open_ = false;
}
