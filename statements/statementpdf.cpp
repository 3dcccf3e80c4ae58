#include "statementpdf.h"

#include "invoiceemail.h"
#include "invoicemail.h"
#include "modCommand.h"
#include "prompts.h"
#include "statementsheet.h"
#include "statementsource.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {
const QString Saved = QStringLiteral("saved");
const QString Emailed = QStringLiteral("emailed");

// Asks the period and reads the statement; none when either did not come about.
std::optional<Statement> askAndRead(QWidget* owner, const QString& account, const QString& done) {
    const auto period = AskStatementPeriod(owner, done);
    if (!period)
        return std::nullopt;
    return ReadStatementFor(owner, account, *period, done);
}

// The workbook is closed unsaved whatever happens.
bool writePdf(QWidget* owner, const Statement& statement, const QString& path,
              const QString& done) {
    StatementSheet sheet(owner, done);
    return sheet.fill(statement) && sheet.exportPdf(path);
}
} // namespace

void SaveStatementPdf(QWidget* owner, const QString& account) {
    const auto statement = askAndRead(owner, account, Saved);
    if (!statement)
        return;
    QString path =
        AskSaveFile(owner, {.title = QStringLiteral("Save Statement as PDF"),
                            .folder = QDir::home().filePath(StatementPdfName(*statement)),
                            .filter = QStringLiteral("PDF files (*.pdf)")});
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".pdf");
    if (!writePdf(owner, *statement, path, Saved))
        return;
    LogTransaction("Saved statement for account# " + account + " as PDF");
    ShowMessage(owner, "The statement has been saved as " + QDir::toNativeSeparators(path) + ".",
                QMessageBox::Information, QMessageBox::Ok, QStringLiteral("Statement Complete"));
}

void EmailStatement(QWidget* owner, const QString& account) {
    const auto statement = askAndRead(owner, account, Emailed);
    if (!statement)
        return;
    const QString what = "the statement of account " + account;
    const MailMessage mail = ComposeStatementMail(*statement);
    if (!HasMailAddress(owner, mail, account, what))
        return;
    const QString program = FindMailProgram(owner, what);
    if (program.isEmpty())
        return;
    // A folder only this user can read, left for the mail program, which reads the file later.
    QTemporaryDir folder(QDir::temp().filePath(QStringLiteral("pellory-statement-XXXXXX")));
    if (!folder.isValid()) {
        ShowMessage(owner,
                    "No temporary folder could be made for the PDF (" + folder.errorString() +
                        "), so " + what + " was not emailed.",
                    QMessageBox::Critical);
        return;
    }
    const QString pdf = folder.filePath(StatementPdfName(*statement));
    if (!writePdf(owner, *statement, pdf, Emailed))
        return;
    folder.setAutoRemove(false);
    StartMailProgram(owner, program, mail, pdf, what);
}
