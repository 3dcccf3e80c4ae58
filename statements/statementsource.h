#pragma once

#include "customerstatements.h"

#include <optional>

class QWidget;

// What every statement command asks and reads first. done is what the statement is for
// ("printed", "saved", "emailed"), for the messages that tell it was not.

// What a statement command says when the book cannot be opened.
inline const QString StatementBookFailure =
    QStringLiteral("Error opening main database, cannot continue.\n\n");

// Asks from which day the statements run; none when the user cancels or types no date.
std::optional<StatementPeriod> AskStatementPeriod(QWidget* owner, const QString& done);

// Reads the statement with the book open only while reading; none, the user told, when it
// cannot be read.
std::optional<Statement> ReadStatementFor(QWidget* owner, const QString& account,
                                          const StatementPeriod& period, const QString& done);
