#pragma once

#include "records.h"

#include <QStringList>

struct Statement;

// An email that carries a PDF to the customer, opened in the user's own mail program.
struct MailMessage {
    QString address;
    QString subject;
    QString body;
};

// Addressed to the email address of the invoice's account; the subject names the invoice and
// who it is from, the body the invoice total, the amount still due on it and the due date.
MailMessage ComposeInvoiceMail(const InvoiceRecord& invoice, const ProfileRecord& profile);

// Addressed to the email address of the statement's account; the subject names the statement,
// its date and who it is from, the body the amount due (or the credit) on the statement date.
MailMessage ComposeStatementMail(const Statement& statement);

// A PDF file name from its parts joined by spaces, every character of a part that could not
// stand in a file name made "_".
QString PdfFileName(const QStringList& parts);

// The file name of a statement's PDF, as the customer sees the attachment: the account and the
// statement date.
QString StatementPdfName(const Statement& statement);

// The arguments for xdg-email: every value is one argument exactly as given, never read as an
// option of the mail program, whatever quotes, spaces or dashes it holds.
QStringList MailProgramArguments(const MailMessage& mail, const QString& pdfPath);
