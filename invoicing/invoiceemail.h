#pragma once

#include <QString>

class QWidget;

// Opens the user's mail program (xdg-email) on a new email to the customer of the invoice,
// with the invoice's PDF attached, making the PDF from the backup workbook first when it is
// missing. Without an email address in the account's profile, a mail program, or a backup
// workbook to make a missing PDF from, it says so and does nothing else. The book is only read.
void EmailInvoice(QWidget* owner, const QString& invoiceNumber);
