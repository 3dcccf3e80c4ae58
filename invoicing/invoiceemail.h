#pragma once

#include <QString>

class QWidget;
struct MailMessage;

// Opens the user's mail program (xdg-email) on a new email to the customer of the invoice,
// with the invoice's PDF attached, making the PDF from the backup workbook first when it is
// missing. Without an email address in the account's profile, a mail program, or a backup
// workbook to make a missing PDF from, it says so and does nothing else. The book is only read.
void EmailInvoice(QWidget* owner, const QString& invoiceNumber);

// The steps every emailed document shares; `what` names it in messages ("invoice 0000005").

// False, the user told that what was not emailed, when the mail has no address to go to.
bool HasMailAddress(QWidget* owner, const MailMessage& mail, const QString& account,
                    const QString& what);
// The mail program; empty, the user told, when none is installed.
QString FindMailProgram(QWidget* owner, const QString& what);
// Opens program on the mail with pdf attached; says so when it cannot be started.
void StartMailProgram(QWidget* owner, const QString& program, const MailMessage& mail,
                      const QString& pdf, const QString& what);
