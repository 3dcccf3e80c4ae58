// What printing a stored invoice again reads from the book, on a real file.
#include "accounts.h"
#include "booksession.h"
#include "booktesting.h"
#include "columns.h"
#include "invoices.h"
#include "modDAO.h"
#include "reprintsource.h"
#include "statements.h"

namespace {
ProfileRecord account(const QString& number, int invoiceType, double unitPrice) {
    ProfileRecord p;
    p.AccountNumber = number;
    p.MasterAccount = MasterMarker;
    p.CustomerName = "Acme Tools";
    p.InvoiceType = invoiceType;
    p.PaymentAmount = 0.0;
    p.UnitPrice = unitPrice;
    p.PayableTo = "Varnaby Services";
    p.BillAddress[0] = "1 Mill Lane";
    return p;
}

// Stores an invoice billing `billed` on top of a balance of pastDue.
InvoiceStore invoice(const QString& number, const QString& account, double pastDue, double billed,
                     const QString& description) {
    QString error;
    if (daoIssue_EXEStatement(sql::UpdateBalance, error, {pastDue, QDate(2026, 3, 5), account}))
        qFatal("%s", qPrintable(error));
    InvoiceRecord i;
    i.InvoiceNumber = number;
    i.AccountNumber = account;
    i.DateBilled = QDate(2026, 3, 5);
    i.DateDue = QDate(2026, 3, 19);
    i.AmountRecieved = 0.0;
    return Must(CreateInvoice(i, billed - pastDue, description));
}
} // namespace

class ReprintTest : public QObject {
    Q_OBJECT
    std::unique_ptr<ProgramFolderFixture> folder;

  private slots:
    void init() { folder = std::make_unique<ProgramFolderFixture>(); }
    void cleanup() { folder.reset(); }

    void storedAmountsComeBackAndUnitsAreWorkedOut() {
        BookSession session(folder->database());
        QCOMPARE(Must(SaveAccount(account("ACME-7", 2, 40.0), QString())), AccountSave::Saved);
        QCOMPARE(invoice("0000041", "ACME-7", 25.0, 125.0, "Hours"), InvoiceStore::Stored);

        auto reprint = Must(ReadInvoiceReprint("0000041"));
        QCOMPARE(reprint.invoice.DateDue, QDate(2026, 3, 19));
        QCOMPARE(reprint.profile.CustomerName, QString("Acme Tools"));
        QCOMPARE(reprint.previous, 25.0);
        QCOMPARE(reprint.charges, 100.0);
        QCOMPARE(reprint.billed, 125.0);
        QCOMPARE(reprint.units, QString("2.5"));
        QCOMPARE(reprint.description, QString("Hours"));

        // A later invoice took over the description; a new unit price no longer fits.
        QCOMPARE(invoice("0000042", "ACME-7", 125.0, 165.0, "Visits"), InvoiceStore::Stored);
        QCOMPARE(Must(SaveAccount(account("ACME-7", 2, 30.0), "ACME-7")), AccountSave::Saved);
        reprint = Must(ReadInvoiceReprint("0000041"));
        QCOMPARE(reprint.description, QString());
        QCOMPARE(reprint.units, QString());
        QCOMPARE(Must(ReadInvoiceReprint("0000042")).description, QString("Visits"));

        // Reading changed nothing.
        QCOMPARE(Must(AllInvoices()).size(), std::size_t(2));
        QCOMPARE(Must(ReadBalance("ACME-7"))->Balance, std::optional<double>(165.0));
    }

    void fixedChargesPrintOneUnitAndMissingInvoicesAreNamed() {
        BookSession session(folder->database());
        QCOMPARE(Must(SaveAccount(account("F1", 1, 0.0), QString())), AccountSave::Saved);
        QCOMPARE(invoice("0000005", "F1", 0.0, 80.0, "Month"), InvoiceStore::Stored);
        QCOMPARE(Must(ReadInvoiceReprint("0000005")).units, QString("1"));

        QCOMPARE(ReadInvoiceReprint("0000006").error(),
                 QString("Invoice 0000006 is not in the book."));
    }
    void storedLinesComeBackAsStored() {
        BookSession session(folder->database());
        QCOMPARE(Must(SaveAccount(account("L1", 1, 0.0), QString())), AccountSave::Saved);
        std::vector<InvoiceLine> lines{{.description = "Hedges",
                                        .units = 2,
                                        .rate = 12.35,
                                        .taxName = "VAT 20 %",
                                        .taxPercent = 20},
                                       {.description = "Lawn", .units = 1, .rate = 30}};
        const InvoiceTotals totals = PriceLines(lines, TaxRounding::PerLine);
        InvoiceRecord stored{.InvoiceNumber = "0000009",
                             .AccountNumber = "L1",
                             .DateBilled = QDate(2026, 3, 5),
                             .AmountRecieved = 0.0};
        QCOMPARE(Must(CreateInvoice(stored, lines, "Visits")), InvoiceStore::Stored);

        const auto reprint = Must(ReadInvoiceReprint("0000009"));
        QCOMPARE(reprint.lines.size(), std::size_t(2));
        QCOMPARE(reprint.lines[0].description, QString("Hedges"));
        QCOMPARE(reprint.lines[0].taxName, QString("VAT 20 %"));
        QCOMPARE(reprint.lines[0].tax, lines[0].tax);
        QCOMPARE(TotalOfLines(reprint.lines).total, totals.total);
        QCOMPARE(reprint.charges, totals.total);
    }
};

PELLORY_BOOK_TEST_MAIN(ReprintTest)
#include "test_reprint.moc"
