#include "modExcel.h"
#include "officeprobe.h"
#include "privatecups.h"
#include "sampleforms.h"
#include "testsupport.h"

#include <QFile>
#include <memory>

// The workbooks the build makes, filled as the programs fill them and printed on a private
// printer: each form comes out on one page with what was written on it. With
// PELLORY_SAMPLE_PRINTS set to a folder, the printed PDFs are kept there (for the README).
class FormsTest : public QObject {
    Q_OBJECT

    const QString queue_ = QStringLiteral("pellory-forms");
    std::unique_ptr<PrivateCups> cups_;
    std::unique_ptr<QTemporaryDir> work_;

    // Prints one sheet of a fresh copy of a built workbook and returns the printed pages.
    QStringList Print(const QString& workbook, const QString& sheet,
                      const std::vector<CellWrite>& cells, bool styleTotals = false) {
        const QString copy = work_->filePath(workbook);
        QFile::copy(QStringLiteral(PELLORY_BUILT_PROGRAM_FOLDER "/") + workbook, copy);
        if (xlsOpen_Workbook(copy) != 0 || !WriteCells(cells))
            return {QStringLiteral("could not fill ") + workbook};
        for (int column = 5; styleTotals && column <= 8; ++column)
            if (!xlsSet_CellStyle(1, 23, column))
                return {QStringLiteral("could not style ") + workbook};
        const bool printed = xlsPrint_Worksheet(sheet, 1,
                                                queue_ + QStringLiteral(" on file://") +
                                                    cups_->OutputFile(queue_)) == XlsPrint::Queued;
        CloseWithoutSaving();
        if (!printed || cups_->FinishedJobs(queue_) < 0)
            return {QStringLiteral("could not print ") + workbook};
        const QString keep = qEnvironmentVariable("PELLORY_SAMPLE_PRINTS");
        if (!keep.isEmpty()) {
            const QString kept = keep + '/' + workbook.section('.', 0, 0) + '-' + sheet + ".pdf";
            QFile::remove(kept);
            QFile::copy(cups_->OutputFile(queue_), kept);
        }
        return PdfPages(cups_->OutputFile(queue_));
    }

  private slots:
    void initTestCase() {
        cups_ = std::make_unique<PrivateCups>();
        QVERIFY2(cups_->Error().isEmpty(), qPrintable(cups_->Error()));
        const QString added = cups_->AddQueue(queue_);
        QVERIFY2(added.isEmpty(), qPrintable(added));
    }

    void init() { work_ = std::make_unique<QTemporaryDir>(); }

    void invoiceWithStubFitsOnePage() {
        const QStringList pages =
            Print(QStringLiteral("pellory.xls"), QStringLiteral("Sheet1"), SampleInvoice());
        QCOMPARE(pages.size(), 1);
        const QString& page = pages.front();
        for (const char* shown :
             {"INVOICE", "0001234", "ACME-001", "12/8/2026", "Ada Lovelace",
              "Springfield, IL 62704", "Garden maintenance, hours", "540.00", "125.50", "665.50",
              "12/22/2026", "Thank you for your business.", "Harbour Lane Gardens", "PO Box 4410",
              "{3F2504E0-4F89-11D3-9A0C-0305E82C3301}", "REMITTANCE"})
            QVERIFY2(page.contains(QLatin1String(shown)), shown);
        // The stub repeats the figures below the tear-off line.
        const QString stub = page.section(QStringLiteral("detach"), 1);
        for (const char* repeated : {"0001234", "ACME-001", "540.00", "665.50", "12/22/2026",
                                     "Harbour Lane Gardens", "Portland, OR 97208"})
            QVERIFY2(stub.contains(QLatin1String(repeated)), repeated);
        QVERIFY(!page.contains(QStringLiteral("Summary Report")));
    }

    void reportFitsOnePageWide() {
        const QStringList pages =
            Print(QStringLiteral("pellory.xls"), QStringLiteral("Sheet2"), SampleReport(), true);
        QCOMPARE(pages.size(), 1);
        for (const char* shown :
             {"Summary Report", "ACME-001", "2026 Year to Date", "Customer Name", "0001215",
              "Sum Previous Balance", "Ending Balance", "1345.50", "665.50"})
            QVERIFY2(pages.front().contains(QLatin1String(shown)), shown);
        QVERIFY(!pages.front().contains(QStringLiteral("REMITTANCE")));
    }

    void envelopeCarriesBothAddresses() {
        const QStringList pages =
            Print(QStringLiteral("pelloryenv.xls"), QStringLiteral("Sheet1"), SampleEnvelope());
        QCOMPARE(pages.size(), 1);
        for (const char* shown :
             {"Harbour Lane Gardens", "Portland, OR 97208", "Ada Lovelace", "1200 Analytical Way"})
            QVERIFY2(pages.front().contains(QLatin1String(shown)), shown);
    }
};

PELLORY_TEST_MAIN(FormsTest)
#include "test_forms.moc"
