#include "invoicemail.h"

#include "customerstatements.h"
#include "formats.h"

#include <QRegularExpression>

namespace {
QString greeting(const ProfileRecord& profile) {
    const QString name = profile.CustomerName.trimmed();
    return name.isEmpty() ? QStringLiteral("Hello,") : "Dear " + name + ",";
}
} // namespace

MailMessage ComposeInvoiceMail(const InvoiceRecord& invoice, const ProfileRecord& profile) {
    const QString from = profile.PayableTo.trimmed();
    // What is still owed on the invoice, not what it billed: payments since count.
    const double billed = invoice.AmountBilled.value_or(0.0);
    const double received = invoice.AmountRecieved.value_or(0.0);
    MailMessage mail;
    mail.address = profile.Email.trimmed();
    mail.subject = "Invoice " + invoice.InvoiceNumber + (from.isEmpty() ? "" : " from " + from);
    mail.body = greeting(profile) + "\n\nPlease find attached invoice " + invoice.InvoiceNumber +
                " for account " + invoice.AccountNumber +
                ".\n\nInvoice total: " + FormatMoney(billed) +
                "\nAmount due: " + FormatMoney(RoundCents(billed - received)) +
                "\nDue date: " + FormatShortDate(invoice.DateDue) + "\n\nThank you,\n" + from;
    return mail;
}

MailMessage ComposeStatementMail(const Statement& statement) {
    const QString from = statement.profile.PayableTo.trimmed();
    const QString date = FormatShortDate(statement.date);
    const QString owed = statement.isCredit() ? "Credit balance: " + FormatMoney(-statement.closing)
                                              : "Amount due: " + FormatMoney(statement.closing);
    MailMessage mail;
    mail.address = statement.profile.Email.trimmed();
    mail.subject = "Statement of account " + statement.account + " on " + date +
                   (from.isEmpty() ? "" : " from " + from);
    mail.body = greeting(statement.profile) + "\n\nPlease find attached the statement of account " +
                statement.account + " on " + date + ".\n\n" + owed + "\n\nThank you,\n" + from;
    return mail;
}

QString PdfFileName(const QStringList& parts) {
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9._-]"));
    QStringList safe;
    for (QString part : parts)
        safe << part.replace(unsafe, QStringLiteral("_"));
    QString name = safe.join(QLatin1Char(' '));
    // A hidden file, or one named like an option, would be easy to miss or to misread.
    if (name.startsWith(QLatin1Char('.')) || name.startsWith(QLatin1Char('-')))
        name.prepend(QLatin1Char('_'));
    return name + QStringLiteral(".pdf");
}

QString StatementPdfName(const Statement& statement) {
    return PdfFileName(
        {QStringLiteral("Statement"), statement.account, statement.date.toString(Qt::ISODate)});
}

QStringList MailProgramArguments(const MailMessage& mail, const QString& pdfPath) {
    // "--to" takes the next argument as the address, even one that starts like an option.
    return {QStringLiteral("--utf8"),
            QStringLiteral("--subject"),
            mail.subject,
            QStringLiteral("--body"),
            mail.body,
            QStringLiteral("--attach"),
            pdfPath,
            QStringLiteral("--to"),
            mail.address};
}
