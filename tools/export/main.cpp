// Writes the books as CSV files for the accountant: accounts, invoices of a period, balances;
// with --ods, the same as one workbook too.
#include "bookexport.h"
#include "booksession.h"
#include "exportworkbook.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

namespace {

constexpr int UsageError = 2;
constexpr int ExportFailed = 1;

// Scripts pass days as yyyy-mm-dd and nothing else, so nothing depends on the locale.
std::optional<QDate> isoDay(const QString& text) {
    const QDate day = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    if (!day.isValid())
        return std::nullopt;
    return day;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pellory-export"));
    QCommandLineParser options;
    options.setApplicationDescription(
        QStringLiteral("Writes accounts.csv, invoices.csv (with their payments), invoice_lines.csv "
                       "(their lines and tax) and balances.csv "
                       "of a Pellory book into a folder. The invoices are those billed in the "
                       "period, both days included; accounts and balances are written whole."));
    options.addHelpOption();
    options.addPositionalArgument(QStringLiteral("book"),
                                  QStringLiteral("the Pellory book to read (opened read-only)"));
    options.addPositionalArgument(
        QStringLiteral("folder"),
        QStringLiteral("where the files go (made when missing; earlier files are replaced)"));
    const QCommandLineOption from(QStringLiteral("from"),
                                  QStringLiteral("first billing day exported (default: none)"),
                                  QStringLiteral("yyyy-mm-dd"));
    const QCommandLineOption to(QStringLiteral("to"),
                                QStringLiteral("last billing day exported (default: none)"),
                                QStringLiteral("yyyy-mm-dd"));
    // Off unless asked: the accountant's scripts must not need an office.
    const QCommandLineOption ods(
        QStringLiteral("ods"),
        QStringLiteral("also write the same tables as one workbook, books.ods, a sheet each "
                       "(needs LibreOffice)"));
    options.addOptions({from, to, ods});
    options.process(app);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const auto usage = [&](const QString& problem) {
        err << "pellory-export: " << problem << "\n\n" << options.helpText();
        return UsageError;
    };

    const QStringList arguments = options.positionalArguments();
    if (arguments.size() != 2)
        return usage(QStringLiteral("give the book and the folder, nothing more."));
    ExportPeriod period;
    for (const auto& [option, end] : {std::pair{&from, &period.from}, std::pair{&to, &period.to}}) {
        if (!options.isSet(*option))
            continue;
        const QString text = options.value(*option);
        *end = isoDay(text);
        if (!*end)
            return usage(QStringLiteral("--%1 %2 is not a date written yyyy-mm-dd.")
                             .arg(option->names().constFirst(), text));
    }
    if (Outcome checked = CheckPeriod(period); !checked)
        return usage(checked.error());

    const QString& bookPath = arguments[0];
    const QString& folder = arguments[1];
    Result<BookExport> book = [&]() -> Result<BookExport> {
        const BookSession session(bookPath, true);
        if (!session.isOpen())
            return BookFailure{session.result(), session.error()};
        return ReadBookExport(period);
    }();
    if (!book) {
        err << "pellory-export: could not read " << bookPath << ": " << book.error() << "\n";
        return ExportFailed;
    }
    if (!QDir().mkpath(folder)) {
        err << "pellory-export: could not make the folder " << folder << "\n";
        return ExportFailed;
    }
    if (Outcome written = WriteBookExport(*book, folder); !written) {
        err << "pellory-export: " << written.error() << "\n";
        return ExportFailed;
    }
    out << "Wrote " << book->accounts.size() << " accounts, " << book->invoices.size()
        << " invoices and " << book->balances.size() << " balances to "
        << QDir::toNativeSeparators(folder) << ".\n";
    if (!options.isSet(ods))
        return 0;
    out.flush();
    const WorkbookWritten workbook = WriteExportWorkbook(
        ExportTables(*book), QDir(folder).filePath(QLatin1String(WorkbookFileName)));
    if (!workbook) {
        err << "pellory-export: the CSV files are written; the workbook " << WorkbookFileName
            << " was not: " << workbook.failure << ".\n";
        return ExportFailed;
    }
    out << "Wrote the same tables to " << WorkbookFileName << ", a sheet each.\n";
    return 0;
}
