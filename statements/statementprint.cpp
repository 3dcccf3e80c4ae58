#include "statementprint.h"

#include "bookaccess.h"
#include "busypointer.h"
#include "customerstatements.h"
#include "formats.h"
#include "modCommand.h"
#include "prompts.h"
#include "settings.h"
#include "statementsheet.h"

#include <QDate>
#include <QProgressDialog>

namespace {
const QString FormNotWritten = QStringLiteral(
    "Error writing the statement into its worksheet; the statement was not printed.");
const QString OpenFailure = QStringLiteral("Error opening main database, cannot continue.\n\n");

// Asks from which day the statements run; none when the user cancels or types no date.
std::optional<StatementPeriod> askPeriod(QWidget* owner) {
    const auto typed = AskInput(
        owner, {QStringLiteral("List the activity from (M/D/YYYY), or leave empty for the whole "
                               "history; what came before is carried in the opening balance:"),
                QStringLiteral("Statement"), QString()});
    if (!typed)
        return std::nullopt;
    if (typed->trimmed().isEmpty())
        return StatementPeriod{};
    if (const auto from = ParseDate(*typed))
        return StatementPeriod{*from, {}};
    ShowMessage(owner, "\"" + *typed + "\" is not a date; no statement was printed.",
                QMessageBox::Warning);
    return std::nullopt;
}

// Reads the statement with the book open only while reading; says so when it cannot.
bool readStatement(QWidget* owner, const QString& account, const StatementPeriod& period,
                   Statement& statement) {
    const auto read = ReadFromBook<Statement>(
        owner, OpenFailure, [&] { return ReadStatement(account, period, QDate::currentDate()); });
    if (!read)
        return false;
    if (!read->ok()) {
        ShowMessage(owner,
                    "The statement of account# " + account +
                        " could not be read from the database; it was not printed.\n\n" +
                        read->error(),
                    QMessageBox::Critical);
        return false;
    }
    statement = read->value();
    return true;
}

// Fills the form and prints it; the workbook is closed unsaved whatever happens.
bool printOn(QWidget* owner, const Statement& statement, const ChosenPrinter& printer) {
    StatementSheet sheet(owner);
    if (!sheet.open())
        return false;
    BusyPointer busy;
    const bool written = sheet.write(PlanStatementSheet(statement));
    busy.release();
    if (!written) {
        ShowMessage(owner, FormNotWritten, QMessageBox::Critical);
        return false;
    }
    if (sheet.print(printer) != SheetPrint::Printed)
        return false;
    LogTransaction("Printed statement for account# " + statement.account);
    return true;
}

// False when no printer was chosen; a scheduler that cannot list its printers is told.
bool choosePrinter(QWidget* owner, ChosenPrinter& printer) {
    const PrinterPick pick = ChoosePrinter(owner, Settings().Copies, printer);
    if (pick == PrinterPick::Unavailable)
        ShowMessage(owner,
                    QStringLiteral("The printers cannot be listed: the print scheduler does not "
                                   "answer. No statement was printed."),
                    QMessageBox::Critical);
    return pick == PrinterPick::Chosen;
}

QString countText(qsizetype count) {
    return count == 1 ? QStringLiteral("1 statement") : QString::number(count) + " statements";
}
} // namespace

void PrintStatement(QWidget* owner, const QString& account) {
    const auto period = askPeriod(owner);
    if (!period)
        return;
    Statement statement;
    if (!readStatement(owner, account, *period, statement))
        return;
    ChosenPrinter printer;
    if (!choosePrinter(owner, printer))
        return;
    if (!printOn(owner, statement, printer))
        return;
    TellIfQueueHoldsJob(owner, printer.deviceName);
    PauseAfterPrinting();
    ShowMessage(owner, QStringLiteral("The statement has been created and sent to printer."),
                QMessageBox::Information, QMessageBox::Ok, QStringLiteral("Statement Complete"));
}

void PrintStatements(QWidget* owner) {
    const auto owing = ReadFromBook<QStringList>(owner, OpenFailure, ReadAccountsOwing);
    if (!owing)
        return;
    if (!owing->ok()) {
        // Not "no account owes": who owes could not be read.
        ShowMessage(owner,
                    "The accounts that owe could not be read from the database; no statement "
                    "was printed.\n\n" +
                        owing->error(),
                    QMessageBox::Critical);
        return;
    }
    const QStringList& accounts = owing->value();
    if (accounts.isEmpty()) {
        ShowMessage(
            owner, QStringLiteral("No account has a balance above zero; no statement was printed."),
            QMessageBox::Information, QMessageBox::Ok, QStringLiteral("Statements"));
        return;
    }
    const auto period = askPeriod(owner);
    if (!period)
        return;
    ChosenPrinter printer;
    if (!choosePrinter(owner, printer))
        return;

    // Application modal: while the run lets events through, the only thing a click can reach
    // is its Cancel button, which takes effect before the next statement.
    QProgressDialog progress(QString(), QStringLiteral("Cancel"), 0,
                             static_cast<int>(accounts.size()), owner);
    progress.setObjectName(StatementProgressName);
    progress.setWindowTitle(QStringLiteral("Statements"));
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(0);
    qsizetype printed = 0;
    QString stoppedAt;
    for (const QString& account : accounts) {
        progress.setLabelText("Printing the statement for account# " + account + " (" +
                              QString::number(printed + 1) + " of " +
                              QString::number(accounts.size()) + ")");
        progress.setValue(static_cast<int>(printed));
        if (progress.wasCanceled())
            break;
        Statement statement;
        if (!readStatement(owner, account, *period, statement) ||
            !printOn(owner, statement, printer)) {
            stoppedAt = account;
            break;
        }
        if (++printed == 1)
            TellIfQueueHoldsJob(owner, printer.deviceName);
    }
    const bool cancelled = progress.wasCanceled();
    progress.close();
    if (printed > 0)
        PauseAfterPrinting();

    const QString sent =
        countText(printed) + " of " + QString::number(accounts.size()) + " sent to printer";
    QString text;
    if (!stoppedAt.isEmpty())
        text = "The statement for account# " + stoppedAt +
               " could not be printed and the run stopped there: " + sent + ".";
    else if (cancelled)
        text = "Printing of statements was cancelled: " + sent + ".";
    else
        text = "The statements have been created and sent to printer: " + countText(printed) + ".";
    ShowMessage(owner, text, stoppedAt.isEmpty() ? QMessageBox::Information : QMessageBox::Warning,
                QMessageBox::Ok, QStringLiteral("Statements Complete"));
}
