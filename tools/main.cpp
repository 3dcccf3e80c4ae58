// Writes a sample book to try the program on, or to measure it with.
#include "samplebook.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser options;
    options.setApplicationDescription(
        QStringLiteral("Writes a sample Pellory book: a blank book with accounts, invoices, "
                       "payments and balances."));
    options.addHelpOption();
    options.addPositionalArgument(QStringLiteral("output"),
                                  QStringLiteral("the book to write; must not exist yet"));
    const QCommandLineOption accounts(QStringLiteral("accounts"),
                                      QStringLiteral("number of accounts (default 40)"),
                                      QStringLiteral("n"), QStringLiteral("40"));
    const QCommandLineOption invoices(QStringLiteral("invoices"),
                                      QStringLiteral("number of invoices (default 400)"),
                                      QStringLiteral("n"), QStringLiteral("400"));
    const QCommandLineOption unpaid(QStringLiteral("unpaid"),
                                    QStringLiteral("percent of months left unpaid (default 20)"),
                                    QStringLiteral("percent"), QStringLiteral("20"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("random seed (default 1)"),
                                  QStringLiteral("n"), QStringLiteral("1"));
    options.addOptions({accounts, invoices, unpaid, seed});
    options.process(app);
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (options.positionalArguments().size() != 1) {
        err << options.helpText();
        return 2;
    }
    SampleBookSize size;
    size.accounts = options.value(accounts).toInt();
    size.invoices = options.value(invoices).toInt();
    size.unpaidPercent = options.value(unpaid).toInt();
    size.seed = options.value(seed).toUInt();
    const SampleBookResult result = WriteSampleBook(options.positionalArguments().first(), size);
    if (!result.error.isEmpty()) {
        err << result.error << "\n";
        return 1;
    }
    out << "Wrote " << result.accounts << " accounts and " << result.invoices << " invoices ("
        << result.unpaid << " unpaid); the last invoice is " << result.lastInvoice << ".\n";
    return 0;
}
