#include "statementsource.h"

#include "bookaccess.h"
#include "formats.h"
#include "prompts.h"

std::optional<StatementPeriod> AskStatementPeriod(QWidget* owner, const QString& done) {
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
    ShowMessage(owner, "\"" + *typed + "\" is not a date; no statement was " + done + ".",
                QMessageBox::Warning);
    return std::nullopt;
}

std::optional<Statement> ReadStatementFor(QWidget* owner, const QString& account,
                                          const StatementPeriod& period, const QString& done) {
    const auto read = ReadFromBook<Statement>(owner, StatementBookFailure, [&] {
        return ReadStatement(account, period, QDate::currentDate());
    });
    if (!read)
        return std::nullopt;
    if (!read->ok()) {
        ShowMessage(owner,
                    "The statement of account# " + account +
                        " could not be read from the database; it was not " + done + ".\n\n" +
                        read->error(),
                    QMessageBox::Critical);
        return std::nullopt;
    }
    return read->value();
}
