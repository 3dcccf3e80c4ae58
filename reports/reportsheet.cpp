#include "reportsheet.h"

#include "busypointer.h"
#include "eventpacer.h"
#include "modExcel.h"
#include "prompts.h"
#include "reports.h"
#include "settings.h"

#include <QDir>

namespace {
const QString SheetName = QStringLiteral("Sheet2");

bool writeTexts(const SheetTexts& texts) {
    return xlsSet_CellValues(ReportSheetIndex, texts.row, texts.column, texts.texts);
}
} // namespace

ReportSheet::~ReportSheet() {
    close();
}

bool ReportSheet::open() {
    open_ = xlsOpen_Workbook(Settings().Worksheet) == 0;
    if (!open_)
        ShowMessage(owner_,
                    QStringLiteral("Error loading excel application and target workbook.") +
                        (notDone_.isEmpty() ? QString() : " " + notDone_),
                    QMessageBox::Critical);
    return open_;
}

bool ReportSheet::write(const ReportSheetPlan& plan) {
    EventPacer pacer;
    for (const SheetTexts& texts : plan.header)
        if (!writeTexts(texts))
            return false;
    for (const SheetTexts& texts : plan.headings) {
        for (int i = 0; i < static_cast<int>(texts.texts.front().size()); ++i)
            if (!xlsSet_CellFont(ReportSheetIndex, texts.row, texts.column + i))
                return false;
        if (!writeTexts(texts))
            return false;
    }
    for (const SheetTexts& texts : plan.blocks) {
        if (!writeTexts(texts))
            return false;
        pacer.letEventsRun();
    }
    if (!writeTexts(plan.endingBalance))
        return false;
    const int columns = static_cast<int>(plan.labels.size());
    for (int i = 0; i < columns; ++i) {
        const int column = plan.totalsColumn + i;
        if (!xlsSet_CellFont(ReportSheetIndex, plan.labelRow, column) ||
            !xlsSet_CellValue(ReportSheetIndex, plan.labelRow, column, plan.labels[i]) ||
            !xlsSet_CellStyle(ReportSheetIndex, plan.totalsRow, column))
            return false;
    }
    return xlsSet_CellValues(ReportSheetIndex, plan.totalsRow, plan.totalsColumn, {plan.totals});
}

SheetPrint ReportSheet::print() {
    const SheetPrint printed = PrintOnChosenPrinter(owner_, SheetName, Settings().Copies);
    if (printed == SheetPrint::Failed)
        ShowMessage(owner_, QStringLiteral("Error printing excel worksheet [Sheet2]"),
                    QMessageBox::Critical);
    return printed;
}

bool ReportSheet::exportPdf(const QString& path) {
    if (xlsExport_WorksheetPdf(SheetName, path))
        return true;
    ShowMessage(owner_,
                "The report could not be written as a PDF to " + QDir::toNativeSeparators(path) +
                    " (is the folder there and may it be written to?); nothing was written.",
                QMessageBox::Critical);
    return false;
}

void ReportSheet::close() {
    if (!open_)
        return;
    BusyPointer busy;
    CloseWithoutSaving();
    open_ = false;
}
