#include "statementprint.h"

#include "bookaccess.h"
#include "modCommand.h"
#include "prompts.h"
#include "settings.h"
#include "statementsheet.h"
#include "statementsource.h"

#include <QProgressDialog>

namespace {
const QString Printed = QStringLiteral("printed");

// Fills the form and prints it; the workbook is closed unsaved whatever happens.
bool printOn(QWidget* owner, const Statement& statement, const ChosenPrinter& printer) {
    StatementSheet sheet(owner, Printed);
    if (!sheet.fill(statement) || sheet.print(printer) != SheetPrint::Printed)
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
    const auto period = AskStatementPeriod(owner, Printed);
    if (!period)
        return;
    const auto statement = ReadStatementFor(owner, account, *period, Printed);
    if (!statement)
        return;
    ChosenPrinter printer;
    if (!choosePrinter(owner, printer))
        return;
    if (!printOn(owner, *statement, printer))
        return;
    TellIfQueueHoldsJob(owner, printer.deviceName);
    PauseAfterPrinting();
    ShowMessage(owner, QStringLiteral("The statement has been created and sent to printer."),
                QMessageBox::Information, QMessageBox::Ok, QStringLiteral("Statement Complete"));
}

void PrintStatements(QWidget* owner) {
    const auto owing = ReadFromBook<QStringList>(owner, StatementBookFailure, ReadAccountsOwing);
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
    const auto period = AskStatementPeriod(owner, Printed);
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
        const auto statement = ReadStatementFor(owner, account, *period, Printed);
        if (!statement || !printOn(owner, *statement, printer)) {
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
