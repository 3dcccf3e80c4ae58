#include "invoiceemail.h"

#include "accounts.h"
#include "bookaccess.h"
#include "busypointer.h"
#include "invoicemail.h"
#include "invoicepdf.h"
#include "invoices.h"
#include "invoicesheet.h"
#include "prompts.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {
const QString MailProgram = QStringLiteral("xdg-email");

struct InvoiceAndProfile {
    InvoiceRecord invoice;
    ProfileRecord profile;
};

Result<InvoiceAndProfile> readInvoiceAndProfile(const QString& number) {
    const auto invoice = ReadInvoice(number);
    if (!invoice)
        return invoice.failure();
    if (!*invoice)
        return Refusal("Invoice " + number + " is not in the book.");
    const auto profile = ReadProfile((*invoice)->AccountNumber);
    if (!profile)
        return profile.failure();
    if (!*profile)
        return Refusal("The profile of account " + (*invoice)->AccountNumber +
                       " is not in the book.");
    return InvoiceAndProfile{**invoice, **profile};
}

std::optional<InvoiceAndProfile> readInvoice(QWidget* owner, const QString& number) {
    const auto read =
        ReadFromBook<InvoiceAndProfile>(owner, QStringLiteral("Error connecting to database!\n\n"),
                                        [&] { return readInvoiceAndProfile(number); });
    if (!read)
        return std::nullopt;
    if (!read->ok()) {
        ShowMessage(owner,
                    "Invoice " + number + " or its account could not be read from the book, " +
                        "so it was not emailed.\n\n" + read->error(),
                    QMessageBox::Critical);
        return std::nullopt;
    }
    return read->value();
}

// The PDF to attach, made from the backup workbook when it is missing; empty when there is
// none and the user has been told.
QString pdfToAttach(QWidget* owner, const QString& number) {
    const QString pdf = InvoicePdfPath(number);
    if (QFileInfo(pdf).isFile())
        return pdf;
    const QString workbook = InvoiceBackupPath(number);
    if (!QFileInfo(workbook).isFile()) {
        ShowMessage(owner,
                    "Invoice " + number + " has no PDF and no backup workbook to make one from (" +
                        QDir::toNativeSeparators(workbook) + "), so it was not emailed.",
                    QMessageBox::Warning);
        return {};
    }
    BusyPointer busy;
    const bool made = MakeInvoicePdfFromBackup(number);
    busy.release();
    if (!made) {
        ShowMessage(owner,
                    "The PDF of invoice " + number + " could not be made from its backup " +
                        "workbook (" + QDir::toNativeSeparators(workbook) +
                        "), so it was not emailed.",
                    QMessageBox::Critical);
        return {};
    }
    return pdf;
}
} // namespace

bool HasMailAddress(QWidget* owner, const MailMessage& mail, const QString& account,
                    const QString& what) {
    if (!mail.address.isEmpty())
        return true;
    ShowMessage(owner,
                "Account " + account + " has no email address in its profile, so " + what +
                    " was not emailed.\n\nEnter the Customer Contact Email Address with Edit "
                    "Account, then try again.",
                QMessageBox::Warning);
    return false;
}

QString FindMailProgram(QWidget* owner, const QString& what) {
    const QString program = QStandardPaths::findExecutable(MailProgram);
    if (program.isEmpty())
        ShowMessage(owner,
                    "No mail program was found, so " + what +
                        " was not emailed.\n\nPellory opens your mail program through " +
                        MailProgram + " (package xdg-utils); install it, then try again.",
                    QMessageBox::Warning);
    return program;
}

void StartMailProgram(QWidget* owner, const QString& program, const MailMessage& mail,
                      const QString& pdf, const QString& what) {
    // An argument list, never a shell: no character of the address or subject is special.
    if (!QProcess::startDetached(program, MailProgramArguments(mail, pdf)))
        ShowMessage(owner,
                    "The mail program (" + MailProgram + ") could not be started, so " + what +
                        " was not emailed. Its PDF is " + QDir::toNativeSeparators(pdf) + ".",
                    QMessageBox::Critical);
}

void EmailInvoice(QWidget* owner, const QString& invoiceNumber) {
    const auto read = readInvoice(owner, invoiceNumber);
    if (!read)
        return;
    const QString what = "invoice " + invoiceNumber;
    const MailMessage mail = ComposeInvoiceMail(read->invoice, read->profile);
    if (!HasMailAddress(owner, mail, read->profile.AccountNumber, what))
        return;
    const QString program = FindMailProgram(owner, what);
    if (program.isEmpty())
        return;
    const QString pdf = pdfToAttach(owner, invoiceNumber);
    if (!pdf.isEmpty())
        StartMailProgram(owner, program, mail, pdf, what);
}
