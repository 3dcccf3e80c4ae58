#include "invoicemail.h"

#include "formats.h"

InvoiceMail ComposeInvoiceMail(const InvoiceRecord& invoice, const ProfileRecord& profile) {
    const QString from = profile.PayableTo.trimmed();
    const QString name = profile.CustomerName.trimmed();
    // What is still owed on the invoice, not what it billed: payments since count.
    const double billed = invoice.AmountBilled.value_or(0.0);
    const double received = invoice.AmountRecieved.value_or(0.0);
    InvoiceMail mail;
    mail.address = profile.Email.trimmed();
    mail.subject = "Invoice " + invoice.InvoiceNumber + (from.isEmpty() ? "" : " from " + from);
    mail.body = (name.isEmpty() ? QStringLiteral("Hello,") : "Dear " + name + ",") +
                "\n\nPlease find attached invoice " + invoice.InvoiceNumber + " for account " +
                invoice.AccountNumber + ".\n\nInvoice total: " + FormatMoney(billed) +
                "\nAmount due: " + FormatMoney(RoundCents(billed - received)) +
                "\nDue date: " + FormatShortDate(invoice.DateDue) + "\n\nThank you,\n" + from;
    return mail;
}

QStringList MailProgramArguments(const InvoiceMail& mail, const QString& pdfPath) {
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
