#include "reportsheet.h"

#include "busypointer.h"
#include "eventpacer.h"
#include "modExcel.h"
#include "prompts.h"
#include "reports.h"
#include "settings.h"

namespace {
void writeTexts(const SheetTexts& texts) {
    xlsSet_CellValues(ReportSheetIndex, texts.row, texts.column, texts.texts);
}
} // namespace

ReportSheet::~ReportSheet() {
    close();
}

bool ReportSheet::open() {
    open_ = xlsOpen_Workbook(Settings().Worksheet) == 0;
    if (!open_)
        ShowMessage(owner_, QStringLiteral("Error loading excel application and target workbook."),
                    QMessageBox::Critical);
    return open_;
}

void ReportSheet::write(const ReportSheetPlan& plan) {
    EventPacer pacer;
    for (const SheetTexts& texts : plan.header)
        writeTexts(texts);
    for (const SheetTexts& texts : plan.blocks) {
        writeTexts(texts);
        pacer.letEventsRun();
    }
    writeTexts(plan.endingBalance);
    const int columns = static_cast<int>(plan.labels.size());
    for (int i = 0; i < columns; ++i)
        xlsSet_CellFont(ReportSheetIndex, plan.labelRow, ReportTotalsColumn + i);
    for (int i = 0; i < columns; ++i)
        xlsSet_CellValue(ReportSheetIndex, plan.labelRow, ReportTotalsColumn + i, plan.labels[i]);
    for (int i = 0; i < columns; ++i)
        xlsSet_CellStyle(ReportSheetIndex, plan.totalsRow, ReportTotalsColumn + i);
    xlsSet_CellValues(ReportSheetIndex, plan.totalsRow, ReportTotalsColumn, {plan.totals});
}

SheetPrint ReportSheet::print() {
    const SheetPrint printed =
        PrintOnChosenPrinter(owner_, QStringLiteral("Sheet2"), Settings().Copies);
    if (printed == SheetPrint::Failed)
        ShowMessage(owner_, QStringLiteral("Error printing excel worksheet [Sheet2]"),
                    QMessageBox::Critical);
    return printed;
}

void ReportSheet::close() {
    if (!open_)
        return;
    BusyPointer busy;
    xlsClose_Workbook(false);
    open_ = false;
}
