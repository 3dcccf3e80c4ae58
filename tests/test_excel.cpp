#include "modExcel.h"
#include "officeprobe.h"
#include "privatecups.h"
#include "testsupport.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <csignal>
#include <memory>

namespace {
const QString Queue = QStringLiteral("pellory-excel");
constexpr char HoldOffice[] = "PELLORY_HOLD_OFFICE";

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class ExcelTest : public QObject {
    Q_OBJECT

    QTemporaryDir temp_; // every office of ours keeps its profile below this
    std::unique_ptr<PrivateCups> cups_;
    std::unique_ptr<QTemporaryDir> work_;

    QString Printer() const {
        return Queue + QStringLiteral(" on file://") + cups_->OutputFile(Queue);
    }

    // A fresh copy of the program's two-sheet workbook.
    QString Workbook() const {
        const QString copy = work_->filePath(QStringLiteral("pellory.xls"));
        QFile::copy(QStringLiteral(PELLORY_BUILT_PROGRAM_FOLDER "/pellory.xls"), copy);
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
        return copy;
    }

    QString WriteFile(const QString& name, const QByteArray& bytes) const {
        QFile file(work_->filePath(name));
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
        return file.fileName();
    }

  private slots:
    void initTestCase() {
        if (qEnvironmentVariableIsSet(HoldOffice))
            return; // a program to be killed, run by noOfficeOutlivesTheProgram
        cups_ = std::make_unique<PrivateCups>();
        qputenv("TMPDIR", temp_.path().toUtf8());
        QVERIFY2(cups_->Error().isEmpty(), qPrintable(cups_->Error()));
        const QString added = cups_->AddQueue(Queue);
        QVERIFY2(added.isEmpty(), qPrintable(added));
        QVERIFY2(QFile::exists(QStringLiteral(PELLORY_BUILT_PROGRAM_FOLDER "/pellory.xls")),
                 "the build did not make pellory.xls");
    }

    void init() { work_ = std::make_unique<QTemporaryDir>(); }

    // Whatever a case did, no office of ours outlives it. (A case that failed half-way may
    // have left its workbook open; closing it keeps the next case clean.)
    void cleanup() {
        CloseWithoutSaving();
        xlsEnd_Office();
        QCOMPARE(ProcessesMentioning(temp_.path()), QList<int>());
    }

    void savedWorkbookKeepsTextAsTextAndNumbersAsNumbers() {
        const QString path = Workbook();
        QCOMPARE(xlsOpen_Workbook(path), 0);
        QVERIFY(xlsSet_CellValue(0, 1, 1, QStringLiteral("'0012345")));
        QVERIFY(xlsSet_CellValue(0, 1, 2, QStringLiteral("42.50")));
        QVERIFY(xlsSet_CellValue(0, 1, 3, QStringLiteral("'=1+1")));
        QVERIFY(xlsSet_CellValue(0, 1, 4, QStringLiteral("=1+1")));
        QVERIFY(xlsSet_CellValue(0, 1, 5, QStringLiteral("-A1")));
        QVERIFY(xlsSet_CellValue(0, 1, 6, QStringLiteral("'")));
        QVERIFY(xlsSet_CellStyle(0, 1, 1));
        QVERIFY(!xlsSet_CellValue(5, 1, 1, QStringLiteral("no such sheet")));
        QVERIFY(xlsClose_Workbook(true));

        const QList<QStringList> rows = FirstSheetCells(path);
        QVERIFY(!rows.isEmpty());
        QCOMPARE(rows.front().mid(0, 5),
                 (QStringList{"\"0012345\"", "42.5", "\"=1+1\"", "\"=1+1\"", "\"-A1\""}));
        QCOMPARE(rows.front().value(5), QString()); // the apostrophe alone shows nothing
        QVERIFY2(!Contents(path).startsWith("PK"), "saved in another format than Excel 97");
    }

    void blockOfTextsStaysTextInOneWrite() {
        const QString path = Workbook();
        QCOMPARE(xlsOpen_Workbook(path), 0);
        QVERIFY(xlsSet_CellValues(0, 2, 2, {{"'0012345", "42.50", "=1+1"}, {"'", "'-A1", "x"}}));
        QVERIFY(!xlsSet_CellValues(0, 5, 1, {{"a", "b"}, {"c"}}));
        QVERIFY(xlsSet_CellFont(0, 2, 2));
        QVERIFY(xlsClose_Workbook(true));

        const QList<QStringList> rows = FirstSheetCells(path);
        QCOMPARE(rows.value(1).mid(1, 3), (QStringList{"\"0012345\"", "\"42.50\"", "\"=1+1\""}));
        QCOMPARE(rows.value(2).mid(1, 3), (QStringList{"", "\"-A1\"", "\"x\""}));
        QVERIFY(!rows.value(4).value(0).contains("a")); // an uneven block writes nothing
    }

    void closingWithoutSavingLeavesTheFileAlone() {
        const QString path = Workbook();
        const QByteArray before = Contents(path);
        QCOMPARE(xlsOpen_Workbook(path), 0);
        QVERIFY(xlsSet_CellValue(0, 5, 10, QStringLiteral("'changed")));
        CloseWithoutSaving();
        QCOMPARE(Contents(path), before);
        QCOMPARE(QDir(work_->path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("pellory.xls")});
    }

    void printsOnlyTheNamedSheetWithTheCopiesAsked() {
        QCOMPARE(xlsOpen_Workbook(Workbook()), 0);
        QVERIFY(xlsSet_CellValue(0, 5, 10, QStringLiteral("'0004711")));
        QVERIFY(xlsSet_CellValue(0, 13, 1, QStringLiteral("'Ada Lovelace")));
        QCOMPARE(xlsPrint_Worksheet(QStringLiteral("Sheet1"), 3, Printer()), XlsPrint::Queued);
        QCOMPARE(cups_->Jobs(Queue), 1); // done only once the queue holds the job
        CloseWithoutSaving();

        QCOMPARE(cups_->FinishedJobs(Queue), 1);
        const QStringList pages = PdfPages(cups_->OutputFile(Queue));
        QCOMPARE(pages.size(), 3);
        for (const QString& page : pages) {
            QVERIFY2(page.contains(QStringLiteral("0004711")), qPrintable(page));
            QVERIFY(page.contains(QStringLiteral("Ada Lovelace")));
            QVERIFY2(!page.contains(QStringLiteral("Summary Report")), "printed Sheet2 too");
        }
    }

    void unknownPrinterPrintsNothing() {
        const int jobsBefore = cups_->FinishedJobs(Queue);
        QCOMPARE(xlsOpen_Workbook(Workbook()), 0);
        QCOMPARE(xlsPrint_Worksheet(QStringLiteral("Sheet1"), 1,
                                    QStringLiteral("no-such-printer on ipp://nowhere/")),
                 XlsPrint::Failed);
        QCOMPARE(xlsPrint_Worksheet(QStringLiteral("Sheet1"), 1, QStringLiteral("pellory")),
                 XlsPrint::Failed);
        QCOMPARE(xlsPrint_Worksheet(QStringLiteral("Sheet9"), 1, Printer()), XlsPrint::Failed);
        CloseWithoutSaving();
        QCOMPARE(cups_->FinishedJobs(Queue), jobsBefore);
        QCOMPARE(xlsPrint_Worksheet(QStringLiteral("Sheet1"), 1, Printer()), XlsPrint::Failed);
    }

    void missingOrBrokenWorkbookDoesNotOpen() {
        QCOMPARE(xlsOpen_Workbook(work_->filePath(QStringLiteral("missing.xls"))),
                 int(xlsErrFileNotFound));
        QByteArray garbage(20000, '\0');
        for (int i = 0; i < garbage.size(); ++i)
            garbage[i] = static_cast<char>((i * 7919) % 251);
        QCOMPARE(xlsOpen_Workbook(WriteFile(QStringLiteral("broken.xls"), garbage)),
                 int(xlsErrNotAWorkbook));
        QCOMPARE(xlsOpen_Workbook(WriteFile(QStringLiteral("notes.xls"), "just some notes\n")),
                 int(xlsErrNotAWorkbook));
        QVERIFY(!xlsSet_CellValue(0, 1, 1, QStringLiteral("'nothing is open")));
    }

    void officeThatCannotStartIsReported() {
        // No place for the office's private profile: the temporary folder is a file.
        const QString workbook = Workbook();
        qputenv("TMPDIR", workbook.toUtf8());
        const int opened = xlsOpen_Workbook(workbook);
        qputenv("TMPDIR", temp_.path().toUtf8());
        QCOMPARE(opened, int(xlsErrOfficeUnavailable));
    }

    void macroInWorkbookNeverRuns() {
        const QString marker = work_->filePath(QStringLiteral("macro-ran"));
        // Its Basic macro, bound to opening the document, would leave the marker file.
        QFile fixture(QFINDTESTDATA("data/autorun.fods"));
        QVERIFY(fixture.open(QIODevice::ReadOnly));
        const QString path = WriteFile(QStringLiteral("autorun.fods"),
                                       fixture.readAll().replace("@MARKER@", marker.toUtf8()));
        QCOMPARE(xlsOpen_Workbook(path), 0);
        QVERIFY(xlsSet_CellValue(0, 1, 1, QStringLiteral("'opened")));
        CloseWithoutSaving();
        QVERIFY(!QFile::exists(marker));
    }

    void hungOfficeIsKilledInsteadOfFreezing() {
        const QString path = Workbook();
        const QByteArray before = Contents(path);
        QCOMPARE(xlsOpen_Workbook(path), 0);
        const QList<int> offices = ProcessesMentioning(temp_.path());
        QVERIFY(!offices.isEmpty());
        // An office that stops answering, as a hung one would.
        for (const int pid : offices)
            ::kill(pid, SIGSTOP);
        QVERIFY(!xlsSet_CellValue(0, 1, 1, QStringLiteral("'never lands")));
        QCOMPARE(xlsPrint_Worksheet(QStringLiteral("Sheet1"), 1, Printer()), XlsPrint::Failed);
        QVERIFY(!xlsExport_WorksheetPdf(QStringLiteral("Sheet1"), work_->filePath("x.pdf")));
        QVERIFY(!xlsClose_Workbook(true)); // the caller learns the save did not land
        // No half-written workbook or PDF, and no lock file the killed office could not remove.
        QCOMPARE(Contents(path), before);
        QCOMPARE(QDir(work_->path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("pellory.xls")});
    }

    // One job after the other in the same office: each page and each saved workbook holds
    // only its own cells.
    void nextJobRunsInTheWarmOfficeAndGetsNothingOfThePrevious() {
        const QString first = Workbook();
        QCOMPARE(xlsOpen_Workbook(first), 0);
        QVERIFY(xlsSet_CellValue(0, 5, 10, QStringLiteral("'0000001")));
        QVERIFY(xlsSet_CellValue(0, 13, 1, QStringLiteral("'Only The First")));
        QCOMPARE(xlsPrint_Worksheet(QStringLiteral("Sheet1"), 1, Printer()), XlsPrint::Queued);
        QVERIFY(xlsClose_Workbook(true));
        const QList<int> office = ProcessesMentioning(temp_.path());
        QCOMPARE(office.size(), 1);

        QVERIFY(QFile::rename(first, work_->filePath(QStringLiteral("first.xls"))));
        const QString second = Workbook();
        QCOMPARE(xlsOpen_Workbook(second), 0);
        QCOMPARE(ProcessesMentioning(temp_.path()), office);
        QVERIFY(xlsSet_CellValue(0, 5, 10, QStringLiteral("'0000002")));
        const int jobsBefore = cups_->FinishedJobs(Queue);
        QCOMPARE(xlsPrint_Worksheet(QStringLiteral("Sheet1"), 1, Printer()), XlsPrint::Queued);
        QVERIFY(xlsClose_Workbook(true));

        QCOMPARE(cups_->FinishedJobs(Queue), jobsBefore + 1);
        const QString page = PdfPages(cups_->OutputFile(Queue)).value(0);
        QVERIFY2(page.contains("0000002") && !page.contains("Only The First"), qPrintable(page));
        const QList<QStringList> cells = FirstSheetCells(second);
        QCOMPARE(cells.value(4).value(9), QString("\"0000002\""));
        QCOMPARE(cells.value(12).value(0), QString());

        // A document the warm office closes without saving leaves its file as it was.
        const QString again = work_->filePath(QStringLiteral("first.xls"));
        const QByteArray before = Contents(again);
        QCOMPARE(xlsOpen_Workbook(again), 0);
        QVERIFY(xlsSet_CellValue(0, 5, 10, QStringLiteral("'changed")));
        CloseWithoutSaving();
        QCOMPARE(Contents(again), before);
        QCOMPARE(ProcessesMentioning(temp_.path()), office);
    }

    void deadOrHungWarmOfficeIsReplacedOnce() {
        for (const int signal : {SIGKILL, SIGSTOP}) {
            QCOMPARE(xlsOpen_Workbook(Workbook()), 0);
            CloseWithoutSaving();
            const QList<int> warm = ProcessesMentioning(temp_.path());
            QCOMPARE(warm.size(), 1);
            ::kill(warm.front(), signal);

            QCOMPARE(xlsOpen_Workbook(Workbook()), 0);
            QVERIFY(xlsSet_CellValue(0, 5, 10, QStringLiteral("'0000003")));
            const int jobsBefore = cups_->FinishedJobs(Queue);
            QCOMPARE(xlsPrint_Worksheet(QStringLiteral("Sheet1"), 1, Printer()), XlsPrint::Queued);
            CloseWithoutSaving();
            QCOMPARE(cups_->FinishedJobs(Queue), jobsBefore + 1);
            const QList<int> now = ProcessesMentioning(temp_.path());
            QCOMPARE(now.size(), 1);
            QVERIFY(!now.contains(warm.front())); // the stopped one was killed, not left
        }
    }

    // The program killed outright, while its office idles between jobs and while a workbook
    // is open in it: no office of that run is left.
    void noOfficeOutlivesTheProgram() {
        for (const QString& moment : {QStringLiteral("idle"), QStringLiteral("open")}) {
            QTemporaryDir run(temp_.filePath(QStringLiteral("run-XXXXXX")));
            QProcess program;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(HoldOffice, moment);
            environment.insert(QStringLiteral("PELLORY_HOLD_WORKBOOK"), Workbook());
            environment.insert(QStringLiteral("TMPDIR"), run.path());
            program.setProcessEnvironment(environment);
            program.start(QCoreApplication::applicationFilePath(),
                          {QStringLiteral("holdOfficeUntilKilled")});
            QByteArray said;
            while (!said.contains("holding") && program.waitForReadyRead(120'000))
                said += program.readAll();
            QVERIFY2(said.contains("holding"), said.constData());
            QCOMPARE(ProcessesMentioning(run.path()).size(), 1);
            ::kill(static_cast<pid_t>(program.processId()), SIGKILL);
            program.waitForFinished();
            QTRY_COMPARE_WITH_TIMEOUT(ProcessesMentioning(run.path()), QList<int>(), 10'000);
        }
    }

    // Run only as the program noOfficeOutlivesTheProgram kills.
    void holdOfficeUntilKilled() {
        const QByteArray moment = qgetenv(HoldOffice);
        if (moment.isEmpty())
            QSKIP("run by noOfficeOutlivesTheProgram");
        QCOMPARE(xlsOpen_Workbook(qEnvironmentVariable("PELLORY_HOLD_WORKBOOK")), 0);
        if (moment == "idle")
            CloseWithoutSaving();
        std::printf("holding\n");
        std::fflush(stdout);
        for (;;)
            QThread::sleep(1);
    }
};

PELLORY_TEST_MAIN(ExcelTest)
#include "test_excel.moc"
