// Times the everyday actions on a large book, each the way a user does it in its window
// (offscreen), and reports the peak memory. Usage: bench_actions
#include "benchsupport.h"
#include "bookchanges.h"
#include "books.h"
#include "booksession.h"
#include "formats.h"
#include "frmBalance.h"
#include "frmCustomer.h"
#include "frmInvoice.h"
#include "frmPellory.h"
#include "frmReport.h"
#include "frmSchedule.h"
#include "frmSettings.h"
#include "invoices.h"
#include "paths.h"
#include "samplebook.h"
#include "settings.h"
#include "testsupport.h"
#include "windowtoolbar.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTreeWidget>
#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

namespace {
constexpr int Runs = 5;
constexpr qint64 Patience = 60000; // ms an action may take before it counts as stuck

// The account given many invoices, and the account loaded by typing (one of the sample's).
const QString LongAccount = QStringLiteral("9001");
constexpr int LongInvoices = 200;
const QString TypedAccount = QStringLiteral("2345");

// Lets events run until done() holds; false when it never did.
bool waitUntil(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > Patience)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// Counts the book-change announcements heard; connected after the windows' own listeners, so
// a count taken here comes after their refresh has run.
struct ChangeCount {
    int heard = 0;
    QMetaObject::Connection connection;
    ChangeCount() {
        connection =
            QObject::connect(&BookChangeAnnouncer(), &BookChanges::changed, [this] { ++heard; });
    }
    ~ChangeCount() { QObject::disconnect(connection); }
};

// Clicks a toolbar button; false when the window has no button with that tag.
bool click(WindowToolbar* toolbar, const char* tag) {
    QAction* button = toolbar->button(QLatin1String(tag));
    if (!button)
        return false;
    button->trigger();
    return true;
}

// The offscreen platform's note on every window shown says nothing about the timings.
QtMessageHandler standardHandler = nullptr;
void quietPlatformNotes(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (!text.contains(QLatin1String("propagateSizeHints")))
        standardHandler(type, context, text);
}

struct Timing {
    QString action;
    std::vector<qint64> times;
    QString note;
    bool failed = false;
};

class Bench {
  public:
    Bench(QString book, QTextStream& out) : book_(std::move(book)), out_(out) {}

    std::vector<Timing> timings;

    // One action timed Runs times; run returns false when the action did not complete.
    // note, asked after the runs, says what the action found.
    void time(const QString& action, const std::function<bool(int run, QElapsedTimer&)>& run,
              const std::function<QString()>& note = {}) {
        Timing timing{action, {}, {}};
        for (int i = 0; i < Runs && !timing.failed; ++i) {
            QElapsedTimer clock;
            const std::size_t shown = prompts_.messages.size();
            if (!run(i, clock))
                timing.failed = true;
            else
                timing.times.push_back(clock.elapsed());
            for (std::size_t m = shown; m < prompts_.messages.size(); ++m)
                unexpected(action, prompts_.messages[m]);
            QApplication::processEvents();
        }
        if (note)
            timing.note = note();
        print(timing);
        timings.push_back(timing);
    }

    // Messages the actions are expected to show; anything else is reported.
    QStringList expectedMessages;

    const QString& book() const { return book_; }

  private:
    void unexpected(const QString& action, const MessageRequest& message) {
        for (const QString& expected : expectedMessages)
            if (message.text.startsWith(expected))
                return;
        out_ << "  (" << action << " showed: " << message.text.simplified() << ")\n";
    }

    void print(const Timing& timing) {
        out_ << timing.action.leftJustified(52, QLatin1Char('.')) << ' ';
        if (timing.failed) {
            out_ << "did not complete\n";
        } else {
            std::vector<qint64> sorted = timing.times;
            std::sort(sorted.begin(), sorted.end());
            out_ << "median " << sorted[Runs / 2] << " ms (best " << sorted.front() << ", worst "
                 << sorted.back() << ")";
            if (!timing.note.isEmpty())
                out_ << "  " << timing.note;
            out_ << "\n";
        }
        out_.flush();
    }

    QString book_;
    QTextStream& out_;
    PromptRecorder prompts_;
};

// An account of its own with LongInvoices unpaid invoices, stored the way a saved invoice is.
bool addLongAccount(const QString& book, qlonglong firstNumber, QTextStream& out) {
    if (!AddAccount(book, {.account = LongAccount,
                           .name = QStringLiteral("Long History Ltd"),
                           .invoiceType = 1,
                           .fixedAmount = 100.0})) {
        out << "cannot add the account " << LongAccount << "\n";
        return false;
    }
    BookSession session(book);
    if (!session.isOpen()) {
        out << "cannot open the book: " << session.error() << "\n";
        return false;
    }
    const QDate today = QDate::currentDate();
    for (int i = 0; i < LongInvoices; ++i) {
        InvoiceRecord invoice;
        invoice.InvoiceNumber = *FormatInvoiceNumber(double(firstNumber + i));
        invoice.AccountNumber = LongAccount;
        invoice.DateBilled = today.addMonths(i - LongInvoices);
        invoice.DateDue = invoice.DateBilled.addDays(15);
        const auto stored = CreateInvoice(invoice, 100.0, QString());
        if (!stored || *stored != InvoiceStore::Stored) {
            out << "cannot store invoice " << invoice.InvoiceNumber << ": " << stored.error()
                << "\n";
            return false;
        }
    }
    return true;
}

void runActions(Bench& bench, qlonglong nextInvoice) {
    // The windows' own confirmations, shown on every save.
    bench.expectedMessages = {QStringLiteral("Invoice Number [")};

    bench.time(QStringLiteral("Invoice window opened on an account"),
               [](int, QElapsedTimer& clock) {
                   clock.start();
                   frmInvoice window;
                   window.Tag = TypedAccount;
                   window.show();
                   return waitUntil([&] { return !window.TEXT_Invoice->text().isEmpty(); });
               });

    bench.time(
        QStringLiteral("Invoice window: account loaded by typing its number"),
        [](int, QElapsedTimer& clock) {
            frmInvoice window;
            window.show();
            if (!waitUntil([&] { return window.COMBO_AccountNumber->count() > 0; }))
                return false;
            QLineEdit* typed = window.COMBO_AccountNumber->lineEdit();
            typed->setFocus();
            clock.start();
            QTest::keyClicks(typed, TypedAccount);
            return waitUntil([&] {
                return window.COMBO_AccountNumber->currentText() == TypedAccount &&
                       !window.TEXT_Invoice->text().isEmpty();
            });
        },
        [] { return QStringLiteral("(4 keystrokes, from the window showing its account list)"); });

    bench.time(QStringLiteral("Balance window opened on a 200-invoice account"),
               [](int, QElapsedTimer& clock) {
                   clock.start();
                   frmBalance window;
                   window.Tag = LongAccount;
                   window.show();
                   return waitUntil([&] { return window.LIST_Invoices->count() >= LongInvoices; });
               });

    {
        frmBalance window;
        window.Tag = LongAccount;
        window.show();
        const bool open = waitUntil([&] { return window.LIST_Invoices->count() >= LongInvoices; });
        bench.time(QStringLiteral("Balance window: one of its invoices selected"),
                   [&](int run, QElapsedTimer& clock) {
                       if (!open)
                           return false;
                       window.TEXT_DateBilled->clear();
                       clock.start();
                       window.LIST_Invoices->setCurrentRow(20 + run * 30);
                       return waitUntil([&] { return !window.TEXT_DateBilled->text().isEmpty(); });
                   });

        bench.time(
            QStringLiteral("Balance window: a payment saved"),
            [&](int run, QElapsedTimer& clock) {
                if (!open)
                    return false;
                window.LIST_Invoices->setCurrentRow(10 + run * 30);
                if (!waitUntil([&] { return !window.TEXT_DateBilled->text().isEmpty(); }))
                    return false;
                window.TEXT_DateRecieved->setText(FormatShortDate(QDate::currentDate()));
                window.TEXT_PaymentRecieved->setText(QStringLiteral("100"));
                window.TEXT_Reference->setText(QStringLiteral("chk %1").arg(run));
                ChangeCount changes;
                clock.start();
                if (!click(window.Toolbar1, "Save"))
                    return false;
                // The window reads the account again when the change is announced.
                return waitUntil([&] { return changes.heard > 0; });
            },
            [] { return QStringLiteral("(to the window showing the account again)"); });
    }

    bench.time(QStringLiteral("Customer editor opened on an account"),
               [](int, QElapsedTimer& clock) {
                   clock.start();
                   frmCustomer editor;
                   editor.Tag = TypedAccount;
                   editor.show();
                   return waitUntil([&] { return !editor.TEXT_Name->text().isEmpty(); });
               });

    bench.time(QStringLiteral("Customer editor: opened on an account and saved"),
               [](int run, QElapsedTimer& clock) {
                   clock.start();
                   frmCustomer editor;
                   editor.Tag = TypedAccount;
                   editor.show();
                   if (!waitUntil([&] { return !editor.TEXT_Name->text().isEmpty(); }))
                       return false;
                   editor.TEXT_Phone->setText(QStringLiteral("555-010%1").arg(run));
                   ChangeCount changes;
                   if (!click(editor.Toolbar1, "OK"))
                       return false;
                   return waitUntil([&] { return changes.heard > 0 && !editor.isVisible(); });
               });

    bench.time(QStringLiteral("Report window opened"), [](int, QElapsedTimer& clock) {
        clock.start();
        frmReport window;
        window.show();
        return waitUntil([&] { return window.COMBO_AccountNumber->count() > 0; });
    });

    {
        frmReport window;
        window.show();
        const bool open = waitUntil([&] { return window.COMBO_AccountNumber->count() > 0; });
        const int longIndex = window.COMBO_AccountNumber->findText(LongAccount);
        const int otherIndex = window.COMBO_AccountNumber->findText(TypedAccount);
        bench.time(QStringLiteral("Report window: an account chosen from the list"),
                   [&](int run, QElapsedTimer& clock) {
                       if (!open || longIndex < 0 || otherIndex < 0)
                           return false;
                       // Alternate, since choosing the account already checked does nothing.
                       const int index = run % 2 == 0 ? longIndex : otherIndex;
                       window.LABEL_Name->clear();
                       clock.start();
                       window.COMBO_AccountNumber->setCurrentIndex(index);
                       return waitUntil([&] { return !window.LABEL_Name->text().isEmpty(); });
                   });
    }

    {
        frmSchedule schedule;
        bench.time(
            QStringLiteral("Billing schedule filled"),
            [&](int, QElapsedTimer& clock) {
                clock.start();
                schedule.FillSchedule();
                return schedule.LIST_Cycle->count() > 0;
            },
            [&] { return QStringLiteral("(%1 accounts due)").arg(schedule.LIST_Cycle->count()); });
    }

    bench.time(QStringLiteral("Settings window opened"), [](int, QElapsedTimer& clock) {
        clock.start();
        frmSettings window;
        window.show();
        QApplication::processEvents();
        return !window.TEXT_Database->text().isEmpty();
    });

    {
        frmPellory main;
        main.setWindowState(Qt::WindowNoState);
        main.show();
        const bool ready =
            waitUntil([&] { return main.StatusPanels[0]->text() == QLatin1String("Ready"); });
        qlonglong number = nextInvoice;
        std::vector<qint64> storing;
        bench.time(
            QStringLiteral("Invoice stored, main window's tree rebuilt"),
            [&](int, QElapsedTimer& clock) {
                if (!ready)
                    return false;
                InvoiceRecord invoice;
                invoice.InvoiceNumber = *FormatInvoiceNumber(double(number++));
                invoice.AccountNumber = LongAccount;
                invoice.DateBilled = QDate::currentDate();
                invoice.DateDue = invoice.DateBilled.addDays(15);
                ChangeCount changes;
                clock.start();
                {
                    BookSession session(bench.book());
                    if (!session.isOpen())
                        return false;
                    const auto stored = CreateInvoice(invoice, 100.0, QString());
                    if (!stored || *stored != InvoiceStore::Stored)
                        return false;
                }
                storing.push_back(clock.elapsed());
                return waitUntil([&] {
                    return changes.heard > 0 &&
                           main.StatusPanels[0]->text() == QLatin1String("Ready");
                });
            },
            [&] {
                std::sort(storing.begin(), storing.end());
                return QStringLiteral("(stored through the book, not printed: storing %1 ms of it; "
                                      "%2 tree nodes)")
                    .arg(storing.empty() ? -1 : storing[storing.size() / 2])
                    .arg(main.TreeView1->topLevelItemCount() > 0 ? CountNodes(main.TreeView1) : 0);
            });
    }
}
} // namespace

int main(int argc, char** argv) {
    PrepareTestEnvironment(); // offscreen, en_US, a private settings folder
    standardHandler = qInstallMessageHandler(quietPlatformNotes);
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir folder;
    QDir(folder.path()).mkdir(QStringLiteral("backup"));
    SetProgramFolder(folder.path()); // the log and backups stay in the temporary folder
    LoadSettings();

    const QString book = folder.filePath(QStringLiteral("book.mdb"));
    QElapsedTimer clock;
    clock.start();
    const SampleBookResult sample = WriteSampleBook(book, {3000, 50000, 20, 2});
    if (!sample.error.isEmpty()) {
        out << "cannot write the book: " << sample.error << "\n";
        return 1;
    }
    const qlonglong first = sample.lastInvoice.toLongLong() + 1;
    if (!addLongAccount(book, first, out))
        return 1;
    out << "Everyday actions (" << QApplication::platformName() << "), median of " << Runs
        << "\nBook: " << sample.accounts + 1 << " accounts, " << sample.invoices + LongInvoices
        << " invoices, account " << LongAccount << " with " << LongInvoices
        << " of them; written in " << clock.elapsed() << " ms\n";
    Settings().Database = book;

    const bool peakReset = ResetPeakMemory();
    Bench bench(book, out);
    runActions(bench, first + LongInvoices);
    out << "Memory: peak " << StatusKilobytes("VmHWM:") / 1024 << " MB"
        << (peakReset ? " (counted from just before the first window)" : " (whole run)") << "\n";
    const bool allDone = std::none_of(bench.timings.begin(), bench.timings.end(),
                                      [](const Timing& timing) { return timing.failed; });
    return allDone ? 0 : 1;
}
