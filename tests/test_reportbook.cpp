// What a summary report holds: its invoices, accounts, totals and where they go on the sheet.
#include "books.h"
#include "booksession.h"
#include "booktesting.h"
#include "bookwork.h"
#include "formats.h"
#include "invoicelines.h"
#include "reports.h"
#include "taxreport.h"
#include "testbook.h"

namespace {
ReportPeriod monthly(int month, const QString& year) {
    return {.type = ReportType::Monthly,
            .month = month,
            .monthName = QStringLiteral("March"),
            .year = year};
}

ReportPeriod range(const QString& from, const QString& to) {
    return {.type = ReportType::DateRange, .from = from, .to = to};
}

QDate stored(int year, int month, int day) {
    return QDate(year, month, day);
}

QStringList numbers(const ReportAccountBlock& block) {
    QStringList found;
    for (const ReportInvoiceLine& line : block.invoices)
        found << line.number;
    return found;
}

QStringList accounts(const Report& report) {
    QStringList found;
    for (const ReportAccountBlock& block : report.blocks)
        found << block.account;
    return found;
}

QStringList taxes(const ReportAccountBlock& block) {
    QStringList found;
    for (const ReportInvoiceLine& line : block.invoices)
        found << line.tax;
    return found;
}

InvoiceLine line(double units, double rate, const QString& taxName = {}, double percent = 0.0) {
    return {.description = "Work",
            .units = units,
            .rate = rate,
            .taxName = taxName,
            .taxPercent = percent};
}

QStringList rateRow(const TaxCollectedRate& rate) {
    return {rate.name, QString::number(rate.percent), FormatMoney(rate.net), FormatMoney(rate.tax)};
}
} // namespace

class ReportBookTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramFolderFixture> folder_;

    Report read(const QString& account, ReportedAccounts which, const ReportPeriod& period) {
        BookSession session(folder_->database());
        return Must(ReadReport({account, period, which}));
    }

    // March 2026: invoices of master M1, its linked L2 and another account X9, one of them stored
    // as its row alone and one billed on the month's last day at an older VAT percent; one in
    // April. The rows' amounts billed are their lines' totals.
    void addTaxedInvoices() {
        const QString db = folder_->database();
        QVERIFY(AddAccount(db, {.account = "M1"}));
        QVERIFY(AddAccount(db, {.account = "L2", .master = "M1"}));
        QVERIFY(AddAccount(db, {.account = "X9"}));
        const struct {
            const char* number;
            const char* account;
            QDate billed;
            double amountBilled;
        } rows[] = {{"0000001", "M1", QDate(2026, 3, 5), 61.93},
                    {"0000002", "M1", QDate(2026, 3, 6), 20.0},
                    {"0000003", "L2", QDate(2026, 3, 7), 6.0},
                    {"0000004", "X9", QDate(2026, 3, 7), 120.0},
                    {"0000005", "M1", QDate(2026, 4, 1), 12.0},
                    {"0000006", "M1", QDate(2026, 3, 31), 11.75}};
        for (const auto& row : rows)
            QVERIFY(AddInvoice(
                db, {row.number, row.account, row.billed, {}, {}, 0, row.amountBilled, 0}));
    }

    void storeLines(const QString& invoice, std::vector<InvoiceLine> lines) {
        (void)PriceLines(lines, TaxRounding::PerLine);
        BookSession session(folder_->database());
        QVERIFY(session.isOpen());
        const Outcome stored =
            bookwork::InTransaction([&] { return WriteInvoiceLines(invoice, lines); });
        QVERIFY2(stored.ok(), qPrintable(stored.ok() ? QString() : stored.error()));
    }

    void storeTaxedLines() {
        const QString vat = QStringLiteral("VAT 20 %");
        storeLines("0000001", {line(2, 20, vat, 20), line(1, 10.10, "Sales tax 8.25 %", 8.25),
                               line(1, 3)});             // tax 8.00 + 0.83
        storeLines("0000003", {line(1, 5, vat, 20)});    // 1.00
        storeLines("0000004", {line(1, 100, vat, 20)});  // 20.00, another account
        storeLines("0000005", {line(1, 10, vat, 20)});   // April
        storeLines("0000006", {line(1, 10, vat, 17.5)}); // 1.75
    }

    TaxCollected collected(const QDate& from, const QDate& to) {
        BookSession session(folder_->database());
        return Must(ReadTaxCollected(from, to));
    }

  private slots:
    void init() { folder_ = std::make_unique<ProgramFolderFixture>(); }
    void cleanup() { folder_.reset(); }

    void eachTypeIncludesUpToItsEdges() {
        ReportPeriod yearToDate{.type = ReportType::YearToDate, .today = QDate(2026, 6, 15)};
        QVERIFY(yearToDate.includes(stored(2026, 1, 1)));
        QVERIFY(yearToDate.includes(stored(2027, 3, 1))); // after today: no upper bound
        QVERIFY(!yearToDate.includes(stored(2025, 12, 31)));
        QVERIFY(!yearToDate.includes(QDate()));
        QCOMPARE(yearToDate.text(), QString("2026 Year to Date"));

        QVERIFY(monthly(3, "2026").includes(stored(2026, 3, 1)));
        QVERIFY(monthly(3, "2026").includes(stored(2026, 3, 31)));
        QVERIFY(!monthly(3, "2026").includes(stored(2026, 4, 1)));
        QVERIFY(!monthly(3, "2026").includes(stored(2025, 3, 10)));
        QVERIFY(!monthly(3, " 2026").includes(stored(2026, 3, 10)));
        QVERIFY(!monthly(3, "26").includes(stored(2026, 3, 10)));
        QCOMPARE(monthly(3, "2026").text(), QString("March 2026"));

        const ReportPeriod march = range("3/1/2026", "3/31/2026");
        QVERIFY(march.includes(stored(2026, 3, 1)));
        QVERIFY(march.includes(stored(2026, 3, 31)));
        QVERIFY(!march.includes(stored(2026, 2, 28)));
        QVERIFY(!march.includes(stored(2026, 4, 1)));
        QVERIFY(!range("3/31/2026", "3/1/2026").includes(stored(2026, 3, 15)));
        QCOMPARE(march.text(), QString("3/1/2026 to 3/31/2026"));
    }

    void accountsTotalsAndEndingBalance() {
        const QString db = folder_->database();
        const QString quoted = QStringLiteral("O\"Neil\"; DROP TABLE tbl_Invoices");
        QVERIFY(AddAccount(db, {.account = "M1", .name = "Master One", .balance = 100}));
        QVERIFY(
            AddAccount(db, {.account = quoted, .master = "M1", .name = "Quoted", .balance = 20.5}));
        QVERIFY(
            AddAccount(db, {.account = "L2", .master = "M1", .name = "Linked Two", .balance = -5}));
        QVERIFY(AddAccount(db, {.account = "X9", .name = "Elsewhere", .balance = 999}));
        QVERIFY(AddInvoice(db, {"10000000", "M1", QDate(2026, 3, 20), {}, {}, 30, 40, 10}));
        QVERIFY(AddInvoice(db, {"0000010", "M1", QDate(2026, 3, 10), {}, {}, 20, 30, 30}));
        QVERIFY(AddInvoice(db, {"0000009", "M1", QDate(2026, 3, 5), {}, {}, 10, 20.25, 0}));
        QVERIFY(
            AddInvoice(db, {"0000008", "M1", QDate(2026, 2, 5), {}, {}, 0, 10, 10})); // February
        QVERIFY(AddInvoice(db, {"0000011", quoted, QDate(2026, 3, 7), {}, {}, 1, 2, 3}));
        QVERIFY(AddInvoice(db, {"0000012", "X9", QDate(2026, 3, 7), {}, {}, 50, 50, 0}));
        // Amounts never entered add nothing and show nothing.
        QVERIFY(TestBook(db).append(tables::Invoices,
                                    {"0000013", "L2", QDate(2026, 3, 8), {}, {}, {}, {}, {}, 4.0}));

        const Report all = read("M1", ReportedAccounts::ChosenAndLinked, monthly(3, "2026"));
        QCOMPARE(accounts(all), QStringList({"M1", quoted, "L2"}));
        QCOMPARE(numbers(all.blocks[0]), QStringList({"0000009", "0000010", "10000000"}));
        QCOMPARE(all.blocks[0].name, QString("Master One"));
        const ReportInvoiceLine& first = all.blocks[0].invoices[0];
        QCOMPARE(QStringList({first.dateBilled, first.previousBalance, first.amountBilled,
                              first.amountReceived, first.balance}),
                 QStringList({"3/5/2026", "10.00", "20.25", "0.00", "20.25"}));
        const ReportInvoiceLine& blank = all.blocks[2].invoices[0];
        QCOMPARE(QStringList({blank.previousBalance, blank.amountBilled, blank.balance}),
                 QStringList({"", "", "-4.00"}));
        QCOMPARE(all.totals.SumPreviousBalance, 61.0);
        QCOMPARE(all.totals.SumAmountBilled, 92.25);
        QCOMPARE(all.totals.SumPaymentReceived, 47.0);
        QCOMPARE(all.totals.SumEndingBalance, 115.5); // balances now, not the lines' balances

        const Report chosen = read("M1", ReportedAccounts::OnlyChosen, monthly(3, "2026"));
        QCOMPARE(accounts(chosen), QStringList({"M1"}));
        QCOMPARE(chosen.totals.SumEndingBalance, 100.0);
        QCOMPARE(chosen.totals.SumAmountBilled, 90.25);

        const Report linked = read("M1", ReportedAccounts::OnlyLinked, monthly(3, "2026"));
        QCOMPARE(accounts(linked), QStringList({quoted, "L2"}));
        QCOMPARE(linked.totals.SumEndingBalance, 15.5);

        const Report none = read("L2", ReportedAccounts::OnlyLinked, monthly(3, "2026"));
        QVERIFY(none.blocks.empty());
        QCOMPARE(none.totals.SumEndingBalance, 0.0);
        const ReportSheetPlan plan = PlanReportSheet(none);
        QVERIFY(plan.blocks.empty());
        QCOMPARE(plan.labelRow, 18);
        QCOMPARE(plan.totalsRow, 19);
        QCOMPARE(plan.totals, QStringList({"'0.00", "'0.00", "'0.00", "'0.00", "'0.00"}));
        QCOMPARE(CountRows(db, sql::SelectAllInvoices), 7);
    }

    void rowPlanOfTheSheet() {
        Report report{"M1", "March 2026", {{"M1", "Master One", {}}}, {1, 2, 3, 4.5}};
        for (const char* number : {"0000001", "0000002", "0000003"})
            report.blocks[0].invoices.push_back(
                {number, "3/5/2026", "1.00", "2.00", "3.00", "-1.00"});
        ReportSheetPlan plan = PlanReportSheet(report);
        const auto at = [](const SheetTexts& texts) { return texts.row * 100 + texts.column; };
        QCOMPARE(at(plan.header[0]) + at(plan.header[1]) + at(plan.endingBalance),
                 408 + 708 + 1008);
        QCOMPARE(plan.endingBalance.texts, QList<QStringList>({{"'4.50"}}));
        QCOMPARE(at(plan.blocks[0]), 1701);
        QCOMPARE(plan.blocks[0].texts, QList<QStringList>({{"'M1", "'Master One"}}));
        QCOMPARE(at(plan.blocks[1]), 1703);
        QCOMPARE(plan.blocks[1].texts.size(), 3); // rows 17 to 19
        QCOMPARE(plan.blocks[1].texts[2],
                 QStringList({"'0000003", "'3/5/2026", "'1.00", "'2.00", "'3.00", "'-1.00", "'"}));
        QCOMPARE(plan.labelRow, 22);
        QCOMPARE(plan.totalsRow, 23);
        QCOMPARE(plan.totals, QStringList({"'1.00", "'2.00", "'3.00", "'4.50", "'0.00"}));

        // A block without invoices is followed on the very next row; one with invoices
        // leaves an empty row before the next.
        report.blocks.insert(report.blocks.begin(), {"M0", "Empty", {}});
        report.blocks.push_back({"L1", "Last", {}});
        plan = PlanReportSheet(report);
        QList<int> rows;
        for (const SheetTexts& texts : plan.blocks)
            rows << texts.row;
        QCOMPARE(rows, QList<int>({17, 18, 18, 22}));
        QCOMPARE(plan.labelRow, 24);
    }

    void eachInvoiceShowsTheTaxOfItsStoredLines() {
        addTaxedInvoices();
        const Report before = read("M1", ReportedAccounts::ChosenAndLinked, monthly(3, "2026"));
        QCOMPARE(taxes(before.blocks[0]), QStringList({"0.00", "0.00", "0.00"})); // no lines yet
        QCOMPARE(before.totals.SumTax, 0.0);

        storeTaxedLines();
        const Report all = read("M1", ReportedAccounts::ChosenAndLinked, monthly(3, "2026"));
        QCOMPARE(numbers(all.blocks[0]), QStringList({"0000001", "0000002", "0000006"}));
        QCOMPARE(taxes(all.blocks[0]), QStringList({"8.83", "0.00", "1.75"}));
        QCOMPARE(taxes(all.blocks[1]), QStringList({"1.00"}));
        QCOMPARE(all.totals.SumTax, 11.58);
        QCOMPARE(all.totals.SumAmountBilled, 99.68); // the rows' totals, tax included
        QCOMPARE(read("M1", ReportedAccounts::OnlyLinked, monthly(3, "2026")).totals.SumTax, 1.0);

        const ReportSheetPlan plan = PlanReportSheet(all);
        QCOMPARE(plan.headings.front().row * 100 + plan.headings.front().column, 1609); // I16
        QCOMPARE(plan.blocks[1].texts[0].last(), QString("'8.83"));
        QCOMPARE(plan.labels.last(), QString("Sum Tax"));
        QCOMPARE(plan.totals.last(), QString("'11.58"));
    }

    void taxCollectedByRateOverThePeriod() {
        addTaxedInvoices();
        const QDate first(2026, 3, 1);
        const QDate last(2026, 3, 31);
        // Before any invoice has lines, everything billed is untaxed.
        const TaxCollected untaxed = collected(first, last);
        QCOMPARE(untaxed.rates.size(), std::size_t(1));
        QCOMPARE(rateRow(untaxed.rates[0]), QStringList({"", "0", "219.68", "0.00"}));

        storeTaxedLines();
        const TaxCollected march = collected(first, last);
        QCOMPARE(march.rates.size(), std::size_t(4));
        // The untaxed line and the invoice stored as its row alone; a changed percent apart.
        QCOMPARE(rateRow(march.rates[0]), QStringList({"", "0", "23.00", "0.00"}));
        QCOMPARE(rateRow(march.rates[1]),
                 QStringList({"Sales tax 8.25 %", "8.25", "10.10", "0.83"}));
        QCOMPARE(rateRow(march.rates[2]), QStringList({"VAT 20 %", "17.5", "10.00", "1.75"}));
        QCOMPARE(rateRow(march.rates[3]), QStringList({"VAT 20 %", "20", "145.00", "29.00"}));
        QCOMPARE(march.net, 188.10);
        QCOMPARE(march.tax, 31.58);
        QVERIFY(collected(QDate(2026, 3, 8), QDate(2026, 3, 30)).rates.empty());
        const TaxCollected lastDay = collected(last, QDate(2026, 4, 1));
        QCOMPARE(lastDay.tax, 3.75);

        const ReportSheetPlan plan = PlanTaxCollectedSheet(march);
        QCOMPARE(plan.header[3].texts, QList<QStringList>({{"'3/1/2026 to 3/31/2026"}}));
        QCOMPARE(plan.blocks.size(), std::size_t(1));
        QCOMPARE(plan.blocks[0].row, 17);
        QCOMPARE(plan.blocks[0].texts[0],
                 QStringList({"'No tax", "", "", "", "'0 %", "'23.00", "'0.00", "'23.00"}));
        QCOMPARE(plan.blocks[0].texts[3].mid(4),
                 QStringList({"'20 %", "'145.00", "'29.00", "'174.00"}));
        QCOMPARE(plan.endingBalance.texts, QList<QStringList>({{"'31.58"}}));
        QCOMPARE(plan.labelRow, 22);
        QCOMPARE(plan.totalsRow, 23);
        QCOMPARE(plan.totalsColumn, 6);
        QCOMPARE(plan.totals, QStringList({"'188.10", "'31.58", "'219.68"}));
    }
};

PELLORY_BOOK_TEST_MAIN(ReportBookTest)
#include "test_reportbook.moc"
