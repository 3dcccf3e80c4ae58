#pragma once

#include <QString>
#include <vector>

// Filled-in forms as the programs write them: worksheet index, row, column, value.
struct CellWrite {
    int sheet;
    int row;
    int column;
    QString value;
};

// The 31 cells of a filled invoice on Sheet1, in the order the invoice is written.
std::vector<CellWrite> SampleInvoice();
// A summary report on Sheet2: header, one account with three invoices, totals (the totals
// rows 22 and 23 are the ones that get the bold Arial and the border).
std::vector<CellWrite> SampleReport();
// Return address and recipient on the envelope's Sheet1.
std::vector<CellWrite> SampleEnvelope();

// Writes the cells into the open workbook; false when any write failed.
bool WriteCells(const std::vector<CellWrite>& cells);
