#pragma once

#include <QString>
#include <array>
#include <utility>

class QWidget;
struct ProfileRecord;

// What one invoice prints: texts as they go into the cells. A blank invoice leaves units,
// charges and amount billed empty.
struct InvoiceCells {
    QString account;
    QString number;
    QString dateBilled;
    QString units;
    QString charges;
    QString previous;
    QString billed;
    QString dateDue;
    std::array<QString, 2> messages;
    QString payable;
    QString description;
    QString customerName;
    std::array<QString, 4> billAddress;
    std::array<QString, 4> receivingAddress;
    QString guid;

    // Name and addresses from the account's profile.
    void takeAddresses(const ProfileRecord& profile);
};

enum class InvoicePrint { NotOpened, Cancelled, Printed, Failed };

// The invoice workbook for one invoice: opened and filled by print(), closed by finish().
class InvoiceSheet {
  public:
    // storedNote closes every failure message: what the book already holds whatever happens
    // to the page (empty when it holds nothing of this print).
    explicit InvoiceSheet(QWidget* owner, QString storedNote = {})
        : owner_(owner), storedNote_(std::move(storedNote)) {}

    // Opens the workbook of the Worksheet setting, fills Sheet1, lets the user choose the
    // printer and prints. Shows its own failure messages.
    InvoicePrint print(const InvoiceCells& cells);

    // Closes the workbook, saving it when asked; a sheet filled for this invoice and saved is
    // copied to backup/Inv<number>.xls when the backup folder exists, with the sheet as a PDF
    // beside it (backup/Inv<number>.pdf) unless the export fails. Says so when that copy could
    // not be written.
    void finish(bool save, const QString& invoiceNumber);

    bool filled() const { return filled_; }
    // finish() wrote the backup copy of this invoice.
    bool backedUp() const { return backedUp_; }

  private:
    void tellBackupMissing(const QString& invoiceNumber) const;

    QWidget* owner_;
    QString storedNote_;
    bool filled_ = false;
    InvoicePrint printed_ = InvoicePrint::NotOpened;
    bool backedUp_ = false;
};

// What a failure message adds after "Print / Save" stored the invoice: it is in the book, and
// how to print it again.
QString InvoiceStoredNote(const QString& invoiceNumber);

// The backup copy of an invoice's workbook.
QString InvoiceBackupPath(const QString& invoiceNumber);
// There is a backup folder, but no copy of this invoice in it.
bool InvoiceBackupMissing(const QString& invoiceNumber);
