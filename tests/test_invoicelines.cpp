// Invoices of several lines and tax on a real book: pricing and rounding, what is stored, and how
// a book made before the lines gains them.
#include "accounts.h"
#include "balances.h"
#include "booksession.h"
#include "bookwork.h"
#include "booktesting.h"
#include "columns.h"
#include "invoicelines.h"
#include "invoices.h"
#include "modDAO.h"
#include "statements.h"

namespace {
InvoiceLine line(const QString& description, double units, double rate, const QString& taxName = {},
                 double percent = 0.0) {
    InvoiceLine l;
    l.description = description;
    l.units = units;
    l.rate = rate;
    l.taxName = taxName;
    l.taxPercent = percent;
    return l;
}

Result<InvoiceStore> create(const QString& number, std::vector<InvoiceLine> lines) {
    PriceLines(lines, TaxRounding::PerLine);
    InvoiceRecord i;
    i.InvoiceNumber = number;
    i.AccountNumber = "1001";
    i.DateBilled = QDate(2026, 12, 1);
    i.DateDue = QDate(2026, 12, 15);
    i.AmountRecieved = 0.0;
    return CreateInvoice(i, lines, "Hours");
}

bool hasTable(const char* table) {
    return Must(bookwork::ReadFirstValue(sql::TableExists, {QString(table)})).isValid();
}

double balance() {
    return Must(ReadBalance("1001"))->Balance.value_or(-1);
}
} // namespace

class InvoiceLinesTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        folder = std::make_unique<ProgramFolderFixture>();
        session = std::make_unique<BookSession>(folder->database());
        QVERIFY(session->isOpen());
        ProfileRecord p;
        p.AccountNumber = "1001";
        p.MasterAccount = MasterMarker;
        p.CustomerName = "Abbott";
        QCOMPARE(Must(SaveAccount(p, QString())), AccountSave::Saved);
    }
    void cleanup() {
        session.reset();
        folder.reset();
    }

    void taxIsRoundedPerLineOrOncePerRate() {
        const std::vector<InvoiceLine> start = {
            line("Mowing", 1, 0.10, "Sales tax 5 %", 5),
            line("Edging", 1, 0.10, "Sales tax 5 %", 5), line("Hauling", 3, 0.10, "VAT 20 %", 20),
            line("Advice", 1.5, 10.005), line("Weeding", 1, 0.10, "Sales tax 5 %", 5)};
        std::vector<InvoiceLine> perLine = start;
        const InvoiceTotals a = PriceLines(perLine, TaxRounding::PerLine);
        // 1.5 x 10.01 (the rate to the cent) = 15.015, half away from zero.
        QCOMPARE(perLine[3].amount, 15.02);
        QCOMPARE(a.net, 15.62);
        QCOMPARE(a.taxes.size(), size_t(2));
        QCOMPARE(a.taxes[0].name, QString("Sales tax 5 %"));
        QCOMPARE(a.taxes[0].net, 0.30);
        QCOMPARE(a.taxes[0].tax, 0.03); // 0.005 rounds up on each of three lines
        QCOMPARE(a.taxes[1].tax, 0.06);
        QCOMPARE(a.total, 15.71);

        std::vector<InvoiceLine> onTotal = start;
        const InvoiceTotals b = PriceLines(onTotal, TaxRounding::OnTotal);
        QCOMPARE(b.taxes[0].tax, 0.02); // 0.015 once
        QCOMPARE(onTotal[0].tax + onTotal[1].tax + onTotal[4].tax, 0.02);
        QCOMPARE(b.total, 15.70);
        // The stored lines alone give the same totals back.
        QCOMPARE(TotalOfLines(onTotal).taxes[0].tax, 0.02);
        QCOMPARE(TotalOfLines(onTotal).total, 15.70);

        QVERIFY(!NeedsLines({line("One", 2, 5)}));
        QVERIFY(NeedsLines({line("One", 2, 5, "Exempt", 0)}));
        QVERIFY(NeedsLines({line("One", 2, 5), line("Two", 1, 1)}));
    }

    // A book made before the lines is written as it always was until an invoice needs them; then
    // it gains the tables once, and the lines keep the rate they were billed at.
    void oldBookGainsLinesOnceAndKeepsTheRateBilled() {
        QCOMPARE(Must(create("0000001", {line("Hours", 2, 25)})), InvoiceStore::Stored);
        QVERIFY(!hasTable(tables::InvoiceLines));
        QVERIFY(Must(LinesOfInvoice("0000001")).empty());
        QCOMPARE(balance(), 50.0);

        QVERIFY(SaveTaxRates({{"VAT 20 %", 20}}).ok());
        QVERIFY(hasTable(tables::InvoiceLines));
        QCOMPARE(
            Must(create("0000002", {line("Parts", 1, 10, "VAT 20 %", 20), line("Labour", 2, 30)})),
            InvoiceStore::Stored);
        QCOMPARE(Must(create("0000003", {line("Parts", 1, 5, "VAT 20 %", 20)})),
                 InvoiceStore::Stored);
        QCOMPARE(balance(), 50.0 + 72.0 + 6.0);
        QCOMPARE(Must(ReadInvoice("0000002"))->AmountBilled.value_or(0), 122.0);

        QVERIFY(SaveTaxRates({{"VAT 20 %", 17.5}}).ok());
        const auto lines = Must(LinesOfInvoice("0000002"));
        QCOMPARE(lines.size(), size_t(2));
        QCOMPARE(lines[0].description, QString("Parts"));
        QCOMPARE(lines[0].taxPercent, 20.0);
        QCOMPARE(lines[0].tax, 2.0);
        QCOMPARE(lines[1].taxName, QString());
        QCOMPARE(TotalOfLines(lines).total, 72.0);

        // The last invoice goes with its lines.
        QVERIFY(DeleteLastInvoice("1001", "0000003").ok());
        QVERIFY(Must(LinesOfInvoice("0000003")).empty());
        QCOMPARE(balance(), 122.0);
    }

    void failedLineStoresNothingOfTheInvoice() {
        // A lines table that refuses one description stands in for a line the book cannot take.
        QString error;
        QCOMPARE(daoIssue_EXEStatement(
                     "CREATE TABLE tbl_InvoiceLines (InvoiceNumber TEXT NOT NULL, LineNumber "
                     "INTEGER NOT NULL, Description TEXT CHECK (Description <> 'refused'), Units "
                     "REAL, Rate REAL, Amount REAL, TaxName TEXT, TaxPercent REAL, Tax REAL)",
                     error, {}),
                 0);
        const auto refused = create("0000007", {line("Fine", 1, 10), line("refused", 1, 5)});
        QVERIFY(!refused);
        QVERIFY(!Must(InvoiceExists("0000007")));
        QVERIFY(!Must(ReadBalance("1001")).has_value() || balance() == 0.0);
        QVERIFY(Must(LinesOfInvoice("0000007")).empty());
        // Lines an older program left behind under a number are replaced, not added to.
        QCOMPARE(
            daoIssue_EXEStatement(sql::InsertInvoiceLine, error,
                                  {"0000008", 1, "Stale", 1.0, 1.0, 1.0, QVariant(), 0.0, 0.0}),
            0);
        QCOMPARE(Must(create("0000008", {line("A", 1, 1), line("B", 1, 2)})), InvoiceStore::Stored);
        QCOMPARE(Must(LinesOfInvoice("0000008")).size(), size_t(2));
    }

    void ratesAndAccountDefaultsRefuseBadInput() {
        QVERIFY(Must(ReadTaxRates()).empty());
        QVERIFY(Must(AccountTaxName("1001")).isEmpty());
        // Clearing on a book without the tables leaves the book as it was.
        QVERIFY(SetAccountTaxName("1001", QString()).ok());
        QVERIFY(!hasTable(tables::AccountTax));

        QVERIFY(SaveTaxRates({{"Exempt", 0}, {"Sales tax 8.25 %", 8.25}}).ok());
        for (const std::vector<TaxRate>& bad : std::vector<std::vector<TaxRate>>{
                 {{" ", 5}}, {{"A", 5}, {"A ", 6}}, {{"A", -1}}, {{"A", 100}}})
            QVERIFY(!SaveTaxRates(bad));
        const auto rates = Must(ReadTaxRates());
        QCOMPARE(rates.size(), size_t(2));
        QCOMPARE(rates[1].percent, 8.25);

        QVERIFY(SetAccountTaxName("1001", "Sales tax 8.25 %").ok());
        QCOMPARE(Must(AccountTaxName("1001")), QString("Sales tax 8.25 %"));
        QVERIFY(SetAccountTaxName("1001", "").ok());
        QVERIFY(Must(AccountTaxName("1001")).isEmpty());
    }

  private:
    std::unique_ptr<ProgramFolderFixture> folder;
    std::unique_ptr<BookSession> session;
};

QTEST_GUILESS_MAIN(InvoiceLinesTest)
#include "test_invoicelines.moc"
