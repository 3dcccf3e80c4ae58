// The billing schedule: which accounts still need this month's invoice.
#include "books.h"
#include "frmBillingRun.h"
#include "frmInvoice.h"
#include "frmSchedule.h"
#include "settings.h"
#include "testsupport.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>

namespace {
QStringList lines(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}
} // namespace

class ScheduleTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        folder = std::make_unique<ProgramFolderFixture>();
        LoadSettings();
    }
    void cleanup() { folder.reset(); }

    void listsCycleAccountsNotYetInvoicedThisMonth() {
        const QString db = folder->database();
        const QDate today = QDate::currentDate();
        const QDate firstOfMonth(today.year(), today.month(), 1);
        QVERIFY(AddAccount(db, {.account = "NOCYCLE", .billCycle = 0}));
        QVERIFY(AddAccount(
            db, {.account = "FRESH", .name = "Fresh Co", .billCycle = 1, .monthDay = "2"}));
        QVERIFY(AddAccount(db, {.account = "DONE", .billCycle = 1, .monthDay = "1"}));
        QVERIFY(AddInvoice(db, {.number = "0000001", .account = "DONE", .billed = firstOfMonth}));
        QVERIFY(AddAccount(db, {.account = "LASTYEAR", .billCycle = 1, .monthDay = "10"}));
        QVERIFY(AddInvoice(
            db, {.number = "0000002", .account = "LASTYEAR", .billed = today.addYears(-1)}));
        QVERIFY(AddInvoice(
            db, {.number = "0000003", .account = "LASTYEAR", .billed = firstOfMonth.addDays(-1)}));
        QVERIFY(AddAccount(db, {.account = "UNDATED", .billCycle = 1, .monthDay = "3"}));
        QVERIFY(AddInvoice(db, {.number = "0000004", .account = "UNDATED", .billed = QVariant()}));

        frmSchedule window;
        window.show();
        QApplication::processEvents();
        // MonthDay is text, so day 10 sorts before day 2.
        QCOMPARE(lines(window.LIST_Cycle), QStringList({"LASTYEAR, Customer, bill on day# 10",
                                                        "FRESH, Fresh Co, bill on day# 2",
                                                        "UNDATED, Customer, bill on day# 3"}));
        QCOMPARE(window.LABEL_Today->text(),
                 "Today's date is: " + QLocale::system().toString(today, "M/d/yyyy"));
    }

    void doubleClickStartsTheAccountsInvoice() {
        QVERIFY(AddAccount(folder->database(), {.account = "FRESH", .billCycle = 1}));
        PromptRecorder prompts;
        QString taggedAccount;
        prompts.onModal = [&](QDialog* dialog) {
            taggedAccount = static_cast<frmInvoice*>(dialog)->Tag;
            return int(QDialog::Rejected);
        };
        frmSchedule window;
        window.show();
        QApplication::processEvents();
        window.LIST_Cycle->setCurrentRow(-1);
        emit window.LIST_Cycle->itemDoubleClicked(nullptr);
        QVERIFY(prompts.modalWindows.empty()); // nothing selected: nothing happens
        window.LIST_Cycle->setCurrentRow(0);
        emit window.LIST_Cycle->itemDoubleClicked(window.LIST_Cycle->item(0));
        QCOMPARE(prompts.modalWindows, std::vector<QString>{"frmInvoice"});
        QCOMPARE(taggedAccount, QString("FRESH"));
        QVERIFY(!window.isVisible());
    }

    // The run's own rules are tested without windows; here only its place in the schedule.
    void billAllDueStoresTheTickedRowsAndTheScheduleRefreshes() {
        const QString db = folder->database();
        QVERIFY(AddAccount(db, {.account = "FIXED",
                                .invoiceType = 1,
                                .fixedAmount = 25.0,
                                .billCycle = 1,
                                .lastDescription = "Care"}));
        QVERIFY(AddAccount(db, {.account = "ENTERED", .billCycle = 1, .lastDescription = "Care"}));
        PromptRecorder prompts;
        prompts.printers.push_back({}); // the printer choice is cancelled
        int rowsShown = 0;
        QString totals;
        prompts.onModal = [&](QDialog* dialog) {
            if (auto* run = qobject_cast<frmBillingRun*>(dialog)) {
                run->show();
                if (QTest::qWaitFor([&] { return run->CMD_Store->isEnabled(); })) {
                    rowsShown = run->TABLE_Run->rowCount();
                    totals = run->LABEL_Totals->text();
                    run->CMD_Store->click();
                }
            }
            return int(QDialog::Rejected);
        };
        frmSchedule window;
        window.show();
        QApplication::processEvents();
        QCOMPARE(window.LIST_Cycle->count(), 2);
        window.CMD_BillAllDue->click();
        QCOMPARE(rowsShown, 2);
        QVERIFY(totals.startsWith("Ticked: 1 of 2 invoices   Amount: 25.00   Tax: 0.00"));
        QCOMPARE(prompts.modalWindows,
                 std::vector<QString>({"frmBillingRun", "frmUnprintedInvoices"}));
        QVERIFY(prompts.lastMessage().startsWith(
            "Invoice 0000001 is stored, new charges 25.00 in all"));
        QVERIFY(prompts.lastMessage().contains("Not printed: 0000001."));
        QCOMPARE(lines(window.LIST_Cycle), QStringList({"ENTERED, Customer, bill on day# 15"}));
    }

    void missingDatabaseIsReportedAndCloses() {
        PromptRecorder prompts;
        Settings().Database = folder->file("gone.mdb");
        frmSchedule window;
        window.show();
        QApplication::processEvents();
        QVERIFY(prompts.lastMessage().startsWith(
            "Error opening main database, cannot continue.\n\nOpen connection to "));
        QCOMPARE(prompts.messages.back().icon, QMessageBox::Critical);
        QVERIFY(!window.isVisible());
    }

  private:
    std::unique_ptr<ProgramFolderFixture> folder;
};

PELLORY_TEST_MAIN(ScheduleTest)
#include "test_schedule.moc"
