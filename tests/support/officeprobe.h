#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

// Looks at documents and offices from outside the program under test.

// The ids of running processes whose command line mentions text (for example our temporary
// folder, which every office of ours has its profile in).
QList<int> ProcessesMentioning(const QString& text);

// The first worksheet of a workbook as rows of cells, read by an office of its own: text
// cells come back in double quotes, numbers bare.
QList<QStringList> FirstSheetCells(const QString& workbook);

// Every worksheet of a workbook as UTF-8 CSV text, by sheet name, read by an office of its own:
// cells as shown, text cells in double quotes, numbers bare.
QMap<QString, QByteArray> SheetsAsCsv(const QString& workbook);

// The pages of a PDF file as text (pdftotext); empty when it cannot be read.
QStringList PdfPages(const QString& pdf);
