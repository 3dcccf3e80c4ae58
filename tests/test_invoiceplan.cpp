// Where the lines form puts the head, the lines, the totals and the stub: worked out without
// an office.
#include "invoiceplan.h"

#include <QTest>

namespace {
// The text the plan writes into one cell; null when it writes none there.
QString At(const InvoiceLinesPlan& plan, int row, int column) {
    for (const SheetTexts& block : plan.texts) {
        const int r = row - block.row;
        const int c = column - block.column;
        if (r >= 0 && r < block.texts.size() && c >= 0 && c < block.texts[r].size())
            return block.texts[r][c];
    }
    return {};
}

InvoiceCells Invoice(int lineCount) {
    InvoiceCells cells;
    cells.account = "ACME-7";
    cells.number = "0000042";
    cells.payable = "Varnaby Services";
    cells.receivingAddress = {"PO Box 4410", "Portland, OR 97208", "", ""};
    cells.charges = "123.00";
    cells.previous = "25.00";
    cells.billed = "148.00";
    cells.dateDue = "3/19/2026";
    cells.guid = "{GUID}";
    for (int i = 0; i < lineCount; ++i)
        cells.lines.push_back({"Visit " + QString::number(i + 1), 1.5, 0.125, 0.19,
                               i % 2 ? "VAT 20 %" : "", i % 2 ? 20.0 : 0.0, i % 2 ? 0.04 : 0.0});
    cells.totals = {
        100.0, {{"VAT 20 %", 20.0, 50.0, 10.0}, {"GST 5 %", 5.0, 50.0, 2.5}}, 12.5, 112.5};
    return cells;
}
} // namespace

class InvoicePlanTest : public QObject {
    Q_OBJECT

  private slots:
    void linesThenTotalsThenStub_data() {
        QTest::addColumn<int>("lineCount");
        QTest::newRow("one line") << 1;
        QTest::newRow("a few") << 3;
        QTest::newRow("forty") << 40;
    }

    void linesThenTotalsThenStub() {
        QFETCH(int, lineCount);
        const InvoiceLinesPlan plan = PlanInvoiceLinesSheet(Invoice(lineCount));
        QCOMPARE(At(plan, 5, 5), QString("0000042"));
        QCOMPARE(At(plan, 2, 1), QString("Varnaby Services"));

        // One row per line under the headings, as typed, a finer rate as it is.
        const int first = InvoiceLinesHeadingRow + 1;
        const int last = first + lineCount - 1;
        QCOMPARE(At(plan, first, 1), QString("Visit 1"));
        QCOMPARE(At(plan, last, 1), "Visit " + QString::number(lineCount));
        QCOMPARE(At(plan, first, 2), QString("1.5"));
        QCOMPARE(At(plan, first, 3), QString("0.125"));
        QCOMPARE(At(plan, first, 4), QString("0.19"));
        QCOMPARE(At(plan, first, 5), QString());
        QVERIFY(At(plan, last + 1, 1).isNull());

        // Totals under the amount column, after one blank row: net, a row per rate, then the
        // invoice's figures.
        const int net = last + 2;
        const QList<QStringList> totals{
            {"Net", "100.00"},         {"VAT 20 %", "10.00"},         {"GST 5 %", "2.50"},
            {"New Charges", "123.00"}, {"Previous Balance", "25.00"}, {"Amount Billed", "148.00"},
            {"Date Due", "3/19/2026"}};
        for (int i = 0; i < totals.size(); ++i) {
            QCOMPARE(At(plan, net + i, 3), totals[i][0]);
            QCOMPARE(At(plan, net + i, 4), totals[i][1]);
        }
        QVERIFY(std::ranges::count(plan.bordered, std::pair(net + 5, 4)) == 1);

        // The stub comes last, its eleven rows kept together, and repeats what is sent back.
        QVERIFY(plan.stubFirstRow > net + 6);
        QCOMPARE(plan.stubLastRow, plan.stubFirstRow + 10);
        QVERIFY(At(plan, plan.stubFirstRow, 1).contains("detach"));
        QCOMPARE(At(plan, plan.stubLastRow, 1), QString("{GUID}"));
        QStringList stub;
        for (int row = plan.stubFirstRow; row <= plan.stubLastRow; ++row)
            stub << At(plan, row, 1) << At(plan, row, 3) << At(plan, row, 4);
        for (const char* repeated : {"ACME-7", "0000042", "148.00", "3/19/2026", "Varnaby Services",
                                     "PO Box 4410", "Portland, OR 97208", "REMITTANCE"})
            QVERIFY2(stub.contains(repeated), repeated);
        // Bold labels only, below the lines.
        for (const auto& [row, column] : plan.bold)
            QVERIFY(row > last && !At(plan, row, column).isEmpty());
    }
};

QTEST_GUILESS_MAIN(InvoicePlanTest)
#include "test_invoiceplan.moc"
