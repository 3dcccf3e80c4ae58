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

void StatementSheet::write(const StatementSheetPlan& plan) {
    for (const SheetTexts& texts : plan.texts)
        xlsSet_CellValues(StatementSheetIndex, texts.row, texts.column, texts.texts);
    for (const auto& [row, column] : plan.bold)
        xlsSet_CellFont(StatementSheetIndex, row, column);
    for (const auto& [row, column] : plan.bordered)
        xlsSet_CellStyle(StatementSheetIndex, row, column);
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
    xlsClose_Workbook(false);
    open_ = false;
}
