#pragma once

#include <QString>
#include <QStringList>

// Looks at documents and offices from outside the program under test.

// The ids of running processes whose command line mentions text (for example our temporary
// folder, which every office of ours has its profile in).
QList<int> ProcessesMentioning(const QString& text);

// The first worksheet of a workbook as rows of cells, read by an office of its own: text
// cells come back in double quotes, numbers bare.
QList<QStringList> FirstSheetCells(const QString& workbook);

// The pages of a PDF file as text (pdftotext); empty when it cannot be read.
QStringList PdfPages(const QString& pdf);
