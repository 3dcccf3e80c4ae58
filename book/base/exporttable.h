#pragma once

#include <QString>
#include <QVariant>
#include <vector>

// One table of the export for the accountant, the same for its CSV file and its worksheet: the
// values stay typed until a writer decides how each kind is written.

// What a column holds, and so how it is written.
enum class ExportKind {
    Text,  // QString; may need neutralising, as anything a spreadsheet could read as a formula
    Whole, // int
    Count, // double, as many digits as it has (units, percentages)
    Money, // double, cents
    Day,   // QDate
};

struct ExportColumn {
    QString name;
    ExportKind kind = ExportKind::Text;
};

struct ExportTable {
    QString name; // the file's name without ".csv", and the worksheet's name
    std::vector<ExportColumn> columns;
    // One value per column; a null value (or an invalid day) is an empty cell.
    std::vector<QVariantList> rows;
};
