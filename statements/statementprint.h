#pragma once

#include <QString>

class QWidget;

// Prints the statement of one account on the statement form, from the book as it is now,
// after the user gives the first day to list (or none, for the whole history) and chooses a
// printer. Stores nothing in the book; a printed statement is logged.
void PrintStatement(QWidget* owner, const QString& account);

// Prints the statements of every account whose balance is above zero in one run, on one
// printer chosen once, from one first day, with a progress dialog that cancels between statements.
// Each printed statement is logged; the end message says how many were printed and which were not.
void PrintStatements(QWidget* owner);

// The progress dialog's object name, for finding it while the run goes on.
inline const QString StatementProgressName = QStringLiteral("StatementProgress");
