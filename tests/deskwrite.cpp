// Another desk for the suite of the book watch: records a payment on one invoice of the book at
// the URI on the command line, as that desk's balance window would, and exits 0 when it landed.
#include "balances.h"
#include "modDAO.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 4) {
        QTextStream(stderr) << "usage: deskwrite BOOK INVOICE AMOUNT\n";
        return 2;
    }
    QString error;
    if (daoOpen_DBConnection(arguments[1], error) != 0) {
        QTextStream(stderr) << error << '\n';
        return 1;
    }
    const auto saved = SavePayment(
        {arguments[2], QDate::currentDate(), QStringLiteral("desk 2"), arguments[3].toDouble()});
    daoClose_DBConnection();
    if (!saved)
        QTextStream(stderr) << saved.error() << '\n';
    return saved ? 0 : 1;
}
