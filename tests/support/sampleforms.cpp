#include "sampleforms.h"

#include "modExcel.h"

#include <QStringList>

std::vector<CellWrite> SampleInvoice() {
    const QString account = QStringLiteral("'ACME-001");
    const QString invoice = QStringLiteral("'0001234");
    const QString units = QStringLiteral("'12");
    const QString description = QStringLiteral("'Garden maintenance, hours");
    const QString charges = QStringLiteral("'540.00");
    const QString previous = QStringLiteral("'125.50");
    const QString billed = QStringLiteral("'665.50");
    const QString due = QStringLiteral("'12/22/2026");
    const QString guid = QStringLiteral("{3F2504E0-4F89-11D3-9A0C-0305E82C3301}");
    return {
        {0, 8, 10, account},
        {0, 57, 5, account},
        {0, 5, 10, invoice},
        {0, 57, 3, invoice},
        {0, 11, 10, QStringLiteral("'12/8/2026")},
        {0, 22, 1, units},
        {0, 42, 1, units},
        {0, 22, 10, charges},
        {0, 42, 10, charges},
        {0, 26, 10, previous},
        {0, 46, 10, previous},
        {0, 29, 10, billed},
        {0, 49, 10, billed},
        {0, 32, 10, due},
        {0, 52, 10, due},
        {0, 34, 1, QStringLiteral("'Thank you for your business.")},
        {0, 35, 1, QStringLiteral("'Payment is due within 14 days of the invoice date.")},
        {0, 49, 1, QStringLiteral("'Harbour Lane Gardens")},
        {0, 22, 3, description},
        {0, 42, 3, description},
        {0, 13, 1, QStringLiteral("'Ada Lovelace")},
        {0, 14, 1, QStringLiteral("'1200 Analytical Way")},
        {0, 15, 1, QStringLiteral("'Springfield, IL 62704")},
        {0, 16, 1, QStringLiteral("'")},
        {0, 17, 1, QStringLiteral("'")},
        {0, 52, 1, QStringLiteral("'PO Box 4410")},
        {0, 53, 1, QStringLiteral("'Portland, OR 97208")},
        {0, 54, 1, QStringLiteral("'")},
        {0, 55, 1, QStringLiteral("'")},
        {0, 38, 10, guid},
        {0, 57, 10, guid},
    };
}

std::vector<CellWrite> SampleReport() {
    std::vector<CellWrite> cells = {
        {1, 4, 8, QStringLiteral("'ACME-001")},
        {1, 7, 8, QStringLiteral("'2026 Year to Date")},
        {1, 17, 1, QStringLiteral("'ACME-001")},
        {1, 17, 2, QStringLiteral("'Ada Lovelace")},
    };
    const QStringList invoices[] = {
        {"'0001198", "'10/8/2026", "'0.00", "'410.00", "'410.00", "'0.00"},
        {"'0001215", "'11/8/2026", "'0.00", "'395.50", "'270.00", "'125.50"},
        {"'0001234", "'12/8/2026", "'125.50", "'540.00", "'0.00", "'540.00"},
    };
    for (int line = 0; line < 3; ++line) {
        for (int column = 0; column < 6; ++column)
            cells.push_back({1, 17 + line, 3 + column, invoices[line][column]});
    }
    cells.push_back({1, 10, 8, QStringLiteral("'665.50")});
    const QStringList labels = {"Sum Previous Balance", "Sum Amount Billed", "Sum Payment Recvd.",
                                "Ending Balance"};
    const QStringList totals = {"'125.50", "'1345.50", "'680.00", "'665.50"};
    for (int column = 0; column < 4; ++column) {
        cells.push_back({1, 22, 5 + column, labels[column]});
        cells.push_back({1, 23, 5 + column, totals[column]});
    }
    return cells;
}

std::vector<CellWrite> SampleEnvelope() {
    return {
        {0, 2, 13, QStringLiteral("Harbour Lane Gardens")},
        {0, 2, 12, QStringLiteral("PO Box 4410")},
        {0, 2, 11, QStringLiteral("Portland, OR 97208")},
        {0, 2, 10, QString()},
        {0, 13, 8, QStringLiteral("Ada Lovelace")},
        {0, 13, 7, QStringLiteral("1200 Analytical Way")},
        {0, 13, 6, QStringLiteral("Springfield, IL 62704")},
        {0, 13, 5, QString()},
    };
}

bool WriteCells(const std::vector<CellWrite>& cells) {
    bool written = true;
    for (const CellWrite& cell : cells)
        written = xlsSet_CellValue(cell.sheet, cell.row, cell.column, cell.value) && written;
    return written;
}
