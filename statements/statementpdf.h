#pragma once

#include <QString>

class QWidget;

// Saves the statement of one account as a PDF file the user names, after asking the first
// day to list as printing does. The file is written whole or not at all; a saved statement is
// logged. Stores nothing in the book.
void SaveStatementPdf(QWidget* owner, const QString& account);

// Opens the user's mail program on a new email to the account's address with the statement's
// PDF attached, made into a private temporary folder of its own. Without an email address in
// the profile or a mail program, it says so and makes nothing. Stores nothing in the book.
void EmailStatement(QWidget* owner, const QString& account);
