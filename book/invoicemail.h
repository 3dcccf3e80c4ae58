#pragma once

#include "records.h"

#include <QStringList>

// The email that carries an invoice's PDF to the customer, opened in the user's own mail
// program.
struct InvoiceMail {
    QString address;
    QString subject;
    QString body;
};

// Addressed to the email address of the invoice's account; the subject names the invoice and
// who it is from, the body the invoice total, the amount still due on it and the due date.
InvoiceMail ComposeInvoiceMail(const InvoiceRecord& invoice, const ProfileRecord& profile);

// The arguments for xdg-email: every value is one argument exactly as given, never read as an
// option of the mail program, whatever quotes, spaces or dashes it holds.
QStringList MailProgramArguments(const InvoiceMail& mail, const QString& pdfPath);
