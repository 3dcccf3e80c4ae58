// Times the main window's tree rebuild on generated books and reports the peak memory of the
// large one. Usage: bench_tree
#include "benchsupport.h"
#include "frmPellory.h"
#include "frmSchedule.h"
#include "samplebook.h"
#include "settings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTreeWidget>
#include <algorithm>
#include <vector>

namespace {
constexpr int Runs = 3;

// What the window did while a rebuild ran: how often it painted, and whether the busy
// pointer was up then.
class PaintWatch : public QObject {
  public:
    bool watching = false;
    int paints = 0;
    int busyPaints = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (watching && event->type() == QEvent::Paint) {
            ++paints;
            const QCursor* pointer = QApplication::overrideCursor();
            busyPaints += pointer && pointer->shape() == Qt::WaitCursor ? 1 : 0;
        }
        return false;
    }
};

// The billing schedule filled on the open book, whose accounts are all on a monthly cycle.
void measureSchedule(QTextStream& out) {
    frmSchedule schedule;
    std::vector<qint64> times;
    QElapsedTimer clock;
    for (int run = 0; run < Runs; ++run) {
        clock.restart();
        schedule.FillSchedule();
        times.push_back(clock.elapsed());
    }
    std::sort(times.begin(), times.end());
    out << "Billing schedule fill: " << schedule.LIST_Cycle->count() << " accounts due, median "
        << times[Runs / 2] << " ms over " << Runs << " runs\n";
}

bool measure(const QString& folder, const SampleBookSize& size, bool reportMemory,
             QTextStream& out) {
    const QString path = folder + QStringLiteral("/book-%1.mdb").arg(size.accounts);
    QElapsedTimer clock;
    clock.start();
    const SampleBookResult book = WriteSampleBook(path, size);
    if (!book.error.isEmpty()) {
        out << "cannot write the book: " << book.error << "\n";
        return false;
    }
    out << "\nBook: " << book.accounts << " accounts, " << book.invoices << " invoices ("
        << book.unpaid << " unpaid), written in " << clock.elapsed() << " ms\n";
    Settings().Database = path;
    const bool peakReset = reportMemory && ResetPeakMemory();
    const long before = StatusKilobytes("VmRSS:");
    frmPellory window;
    window.setWindowState(Qt::WindowNoState);
    clock.restart();
    window.show(); // the first build runs once the window has painted
    while (window.StatusPanels[0]->text() != QLatin1String("Ready") && clock.elapsed() < 60000)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    out << "First build on showing the window: " << clock.elapsed() << " ms\n";
    PaintWatch watch;
    window.installEventFilter(&watch);
    for (QWidget* child : window.findChildren<QWidget*>())
        child->installEventFilter(&watch);
    std::vector<qint64> times;
    for (int run = 0; run < Runs; ++run) {
        clock.restart();
        watch.watching = true;
        window.RefreshTree();
        watch.watching = false;
        times.push_back(clock.elapsed());
        QApplication::processEvents();
    }
    std::sort(times.begin(), times.end());
    const int shownNodes = CountNodes(window.TreeView1);
    clock.restart();
    window.Node(QStringLiteral("[Invoices]"))->setExpanded(true);
    window.Node(QStringLiteral("[All]"))->setExpanded(true);
    window.TreeView1->scrollToBottom();
    window.TreeView1->viewport()->repaint();
    const qint64 expanding = clock.elapsed();
    // The rebuild another desk's save sets off while the user has every invoice open.
    clock.restart();
    window.RefreshTree();
    const qint64 openRebuild = clock.elapsed();
    out << "RefreshTree: " << shownNodes << " nodes, best " << times.front() << " ms, median "
        << times[Runs / 2] << " ms, worst " << times.back() << " ms over " << Runs
        << " runs; status \"" << window.StatusPanels[0]->text() << "\"\n";
    out << "Opening \"All Invoices\" and scrolling to its end: " << expanding << " ms\n";
    out << "RefreshTree with \"All Invoices\" open: " << CountNodes(window.TreeView1) << " nodes, "
        << openRebuild << " ms\n";
    out << "During the " << Runs << " rebuilds the window painted " << watch.paints << " times, "
        << watch.busyPaints << " of them under the busy pointer\n";
    if (reportMemory) {
        out << "Memory: resident " << before / 1024 << " MB before the window, peak "
            << StatusKilobytes("VmHWM:") / 1024 << " MB"
            << (peakReset ? " (counted from just before the window opened)" : " (whole run)")
            << "\n";
        measureSchedule(out);
    }
    return true;
}
} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir settingsFolder; // the benchmark never touches the user's own settings
    qputenv("XDG_CONFIG_HOME", settingsFolder.path().toUtf8());
    QApplication app(argc, argv);
    QTextStream out(stdout);
    LoadSettings();
    QTemporaryDir books;
    out << "Tree rebuild benchmark (" << QApplication::platformName() << ")\n";
    const bool done = measure(books.path(), {300, 5000, 20, 1}, false, out) &&
                      measure(books.path(), {3000, 50000, 20, 2}, true, out);
    return done ? 0 : 1;
}
