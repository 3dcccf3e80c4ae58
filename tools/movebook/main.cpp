// Moves a book between a file and a PostgreSQL server: a file into an empty database, or a
// server book into a new file.
#include "bookmove.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

namespace {
constexpr int MoveFailed = 1;
constexpr int UsageError = 2;
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pellory-movebook"));
    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral(
        "Copies a Pellory book from a file into an empty PostgreSQL database, or from a "
        "database into a new file, in one transaction that is kept only when every table's rows "
        "and the money totals agree. The book itself is only read. The transaction log, the unit "
        "descriptions and the backup folder stay where they are."));
    options.addHelpOption();
    options.addPositionalArgument(
        QStringLiteral("source"),
        QStringLiteral("the book: a file, or postgresql://user@host:port/database"));
    options.addPositionalArgument(
        QStringLiteral("target"),
        QStringLiteral("an empty database (when the book is a file) or a new file"));
    options.process(app);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList arguments = options.positionalArguments();
    if (arguments.size() != 2) {
        err << "pellory-movebook: give the book and its target, nothing more.\n\n"
            << options.helpText();
        return UsageError;
    }
    const Result<BookFigures> moved = MoveBook(arguments[0], arguments[1]);
    if (!moved) {
        err << "pellory-movebook: " << moved.error() << "\n";
        return MoveFailed;
    }
    out << DescribeMove(*moved, arguments[1]) << "\n";
    return 0;
}
