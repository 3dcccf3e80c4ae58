// One desk working on a shared book, as a window would: each save in a session of its own. It
// creates invoices and records payments on the invoices of a few accounts other desks work on
// too, and prints every save it was told landed (and every one that failed) on stdout, so the
// caller can hold the book against what the desks said.
//
//   desk BOOK DESK OPERATIONS ACCOUNT,ACCOUNT,... [--start-at EPOCHMS] [--pause MS]
//   desk BOOK --hold ACCOUNT
//
// Lines: "invoice NUMBER ACCOUNT CHARGES EPOCHUS", "payment NUMBER AMOUNT EPOCHUS",
// "failed invoice|payment NUMBER AMOUNT CODE MESSAGE", "holding". Every amount a desk tries is
// one it never tries again, so a failed save can be told from a stored one by its amount.
// With --hold the desk stores an invoice and a new balance without committing, says "holding"
// and waits to be killed.
#include "accounts.h"
#include "balances.h"
#include "booksession.h"
#include "bookwork.h"
#include "columns.h"
#include "deskclock.h"
#include "invoicedraft.h"
#include "invoices.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QRandomGenerator>
#include <QTextStream>
#include <QThread>
#include <chrono>
#include <cstdio>

namespace {
// A save that fails is tried again this often before the desk gives up.
constexpr int Attempts = 50;

void sayFailed(const char* kind, const QString& number, double amount, const BookFailure& why) {
    out() << "failed " << kind << ' ' << number << ' ' << QString::number(amount, 'f', 2) << ' '
          << why.code << ' ' << QString(why.message).replace('\n', ' ') << Qt::endl;
}

class Desk {
  public:
    Desk(QString book, int desk, QStringList accounts)
        : book_(std::move(book)), desk_(desk), accounts_(std::move(accounts)),
          random_(static_cast<quint32>(desk)) {}

    // False when a save kept failing.
    bool work(int operations, int pauseMs) {
        for (int done = 0; done < operations; ++done) {
            const QString account = accounts_[random_.bounded(accounts_.size())];
            bool saved = false;
            for (int attempt = 0; attempt < Attempts && !saved; ++attempt) {
                // An account with nothing to pay yet gets an invoice instead.
                const std::optional<bool> paid =
                    random_.bounded(2) == 0 ? std::nullopt : payInvoice(account);
                saved = paid ? *paid : createInvoice(account);
                if (!saved) // another desk holds the book or the account: wait a little
                    QThread::msleep(5 + random_.bounded(20));
            }
            if (!saved)
                return false;
            if (pauseMs > 0)
                QThread::msleep(static_cast<unsigned long>(pauseMs));
        }
        return true;
    }

  private:
    // Unique to this desk and attempt: whole units count the attempts, the cents name the desk.
    double nextAmount() { return ++tried_ + desk_ / 100.0; }

    // True when stored, false when it failed and may be tried again.
    bool createInvoice(const QString& account) {
        const double charges = nextAmount();
        QString number;
        BookSession session(book_);
        if (!session.isOpen()) {
            sayFailed("invoice", number, charges, {session.result(), session.error()});
            return false;
        }
        const auto highest = HighestInvoiceNumber();
        if (!highest) {
            sayFailed("invoice", number, charges, highest.failure());
            return false;
        }
        number = ProposedInvoiceNumber(0, *highest);
        for (;;) {
            InvoiceRecord invoice;
            invoice.InvoiceNumber = number;
            invoice.AccountNumber = account;
            invoice.DateBilled = QDate::currentDate();
            invoice.DateDue = invoice.DateBilled.addDays(15);
            const auto stored = CreateInvoice(invoice, charges, QStringLiteral("desk work"));
            if (!stored) {
                sayFailed("invoice", number, charges, stored.failure());
                return false;
            }
            if (*stored == InvoiceStore::Stored) {
                out() << "invoice " << number << ' ' << account << ' '
                      << QString::number(charges, 'f', 2) << ' ' << epochMicroseconds() << Qt::endl;
                return true;
            }
            // Another desk took the number first: the user is offered the next one.
            const auto now = HighestInvoiceNumber();
            if (!now) {
                sayFailed("invoice", number, charges, now.failure());
                return false;
            }
            number = ProposedInvoiceNumber(number.toLongLong(), *now);
        }
    }

    // None when the account has no invoice to pay yet.
    std::optional<bool> payInvoice(const QString& account) {
        const double amount = nextAmount();
        BookSession session(book_);
        if (!session.isOpen()) {
            sayFailed("payment", QString(), amount, {session.result(), session.error()});
            return false;
        }
        const auto invoices = ReadAccountInvoices(account);
        if (!invoices) {
            sayFailed("payment", QString(), amount, invoices.failure());
            return false;
        }
        if (invoices->isEmpty())
            return std::nullopt;
        const QString number = (*invoices)[random_.bounded(invoices->size())];
        const auto saved = SavePayment(
            {number, QDate::currentDate(), QStringLiteral("desk %1").arg(desk_), amount});
        if (!saved) {
            sayFailed("payment", number, amount, saved.failure());
            return false;
        }
        out() << "payment " << number << ' ' << QString::number(amount, 'f', 2) << ' '
              << epochMicroseconds() << Qt::endl;
        return true;
    }

    QString book_;
    int desk_;
    QStringList accounts_;
    QRandomGenerator random_;
    int tried_ = 0;
};

// Begins a save on the account and never ends it: the caller kills this desk meanwhile.
int holdOpenSave(const QString& book, const QString& account) {
    BookSession session(book);
    if (!session.isOpen()) {
        out() << session.error() << Qt::endl;
        return 1;
    }
    BookTransaction transaction;
    InvoiceRecord invoice;
    invoice.InvoiceNumber = QStringLiteral("999999");
    invoice.AccountNumber = account;
    invoice.DateBilled = QDate::currentDate();
    invoice.PastDue = 0.0;
    invoice.AmountBilled = 123.45;
    invoice.AmountRecieved = 0.0;
    Outcome step = transaction.begun() ? bookwork::HoldAccount(account)
                                       : BookFailure{transaction.result(), transaction.error()};
    if (step)
        step = bookwork::Execute(sql::UpdateBalance, {123.45, QDate::currentDate(), account});
    if (step)
        step = bookwork::Append(tables::Invoices, invoice.ToRow());
    if (!step) {
        out() << step.error() << Qt::endl;
        return 1;
    }
    out() << "holding" << Qt::endl;
    for (;;)
        QThread::sleep(60);
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("book"), QStringLiteral("file path or URI"));
    const QCommandLineOption hold(QStringLiteral("hold"),
                                  QStringLiteral("begin a save on the account and wait"),
                                  QStringLiteral("account"));
    const QCommandLineOption startAt(QStringLiteral("start-at"),
                                     QStringLiteral("begin at this time (ms since the epoch)"),
                                     QStringLiteral("epochms"));
    const QCommandLineOption pause(QStringLiteral("pause"),
                                   QStringLiteral("wait between operations"), QStringLiteral("ms"));
    parser.addOptions({hold, startAt, pause});
    parser.process(app);
    const QStringList arguments = parser.positionalArguments();
    if (parser.isSet(hold) && arguments.size() == 1)
        return holdOpenSave(arguments[0], parser.value(hold));
    if (arguments.size() != 4) {
        std::fputs("usage: desk BOOK DESK OPERATIONS ACCOUNT,... [--start-at MS] [--pause MS]\n"
                   "       desk BOOK --hold ACCOUNT\n",
                   stderr);
        return 2;
    }
    // Desks started one after another begin together, so they meet on the book.
    const qint64 wait = parser.value(startAt).toLongLong() - QDateTime::currentMSecsSinceEpoch();
    if (wait > 0)
        QThread::msleep(static_cast<unsigned long>(wait));
    Desk desk(arguments[0], arguments[1].toInt(), arguments[3].split(QLatin1Char(',')));
    return desk.work(arguments[2].toInt(), parser.value(pause).toInt()) ? 0 : 1;
}
