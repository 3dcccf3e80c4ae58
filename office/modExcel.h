#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The spreadsheet layer both programs print through: one workbook at a time, open in an
// office of our own. The office is kept running between jobs, so the next job need not wait
// for one to start; it ends after a few idle minutes, with the program, and whenever it
// failed a call.

// Results of xlsOpen_Workbook other than 0.
enum XlsError : int {
    xlsErrFileNotFound = 53,
    xlsErrOfficeUnavailable = 429, // the office cannot start, or stopped answering
    xlsErrNotAWorkbook = 1004,
};

// Opens the workbook at path; 0 when it is open, otherwise an XlsError.
[[nodiscard]] int xlsOpen_Workbook(const QString& path);

// Writes value into a cell of worksheet `sheet` (0 = first; row and column from 1). A value
// starting with an apostrophe is stored as the text after it, as typed into a spreadsheet;
// any other value is taken as typed (a number becomes a number), except that nothing
// written ever becomes a formula. False when no workbook is open or the write failed.
[[nodiscard]] bool xlsSet_CellValue(int sheet, int row, int column, const QString& value);

// Writes a rectangle of texts in one call to the office, rows[0][0] at (row, column). Every
// value is stored as text (a leading apostrophe, as typed into a spreadsheet, is dropped), so
// nothing becomes a number or a formula; an empty value leaves its cell empty. False when no
// workbook is open, the rows differ in length, or the write failed.
[[nodiscard]] bool xlsSet_CellValues(int sheet, int row, int column,
                                     const QList<QStringList>& rows);

// Sets a cell in bold Arial with a thin continuous border around it.
[[nodiscard]] bool xlsSet_CellStyle(int sheet, int row, int column);

// Sets a cell in bold Arial, without a border.
[[nodiscard]] bool xlsSet_CellFont(int sheet, int row, int column);

// What became of a print job.
enum class XlsPrint {
    Queued,    // the printer's queue holds the job
    NotQueued, // the office printed, but no job reached the printer's queue within a few seconds
    Failed,    // no workbook open, the printer or the sheet unknown, or the office failed
};

// Prints only the worksheet named sheetName, `copies` times in one job, on printer
// "DEVICE on PORT" (the CUPS queue DEVICE), and waits, window events running, until that
// queue holds the job.
[[nodiscard]] XlsPrint xlsPrint_Worksheet(const QString& sheetName, int copies,
                                          const QString& printer);

// Exports only the worksheet named sheetName as a PDF file at path, page for page as it
// prints, through the office's own PDF export; the workbook stays open and unchanged. True
// once the whole file is in place; false when no workbook is open or anything fails, and then
// path is left as it was.
[[nodiscard]] bool xlsExport_WorksheetPdf(const QString& sheetName, const QString& path);

// Saves the open workbook as an Excel 97 file at path, through a scratch file beside it; the
// workbook stays open and its own file unchanged. False when no workbook is open or the file
// could not be written, and then path is left as it was.
[[nodiscard]] bool xlsSave_WorkbookCopy(const QString& path);

// Starts a new page at firstRow of worksheet `sheet` (rows from 1) when the page breaks as the
// sheet is now would fall between firstRow and lastRow, so those rows print on one page. False
// when no workbook is open or the office failed.
[[nodiscard]] bool xlsKeep_RowsTogether(int sheet, int firstRow, int lastRow);

// Saves the workbook over its file in the Excel 97 format when saveChanges is set, then closes
// the document: nothing of it stays in the office, and a document closed without saving never
// changes its file. False when a save was asked for and the file could not be replaced (or no
// workbook was open).
[[nodiscard]] bool xlsClose_Workbook(bool saveChanges);

// Closes the open workbook without saving. Such a close cannot lose anything, so there is no
// result to look at.
inline void CloseWithoutSaving() {
    (void)xlsClose_Workbook(false);
}

// Starts an office in the background for the next xlsOpen_Workbook, without waiting for it.
void xlsWarm_Office();

// Ends the office kept between jobs now; no office of ours runs afterwards unless a workbook
// is open.
void xlsEnd_Office();
