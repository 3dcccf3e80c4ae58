#pragma once

#include <QString>
#include <array>

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
    explicit InvoiceSheet(QWidget* owner) : owner_(owner) {}

    // Opens the workbook of the Worksheet setting, fills Sheet1, lets the user choose the
    // printer and prints. Shows its own failure messages.
    InvoicePrint print(const InvoiceCells& cells);

    // Closes the workbook, saving it when asked; a sheet filled for this invoice and saved is
    // copied to backup/Inv<number>.xls when the backup folder exists, with the sheet as a PDF
    // beside it (backup/Inv<number>.pdf) unless the export fails.
    void finish(bool save, const QString& invoiceNumber);

    bool filled() const { return filled_; }
    // finish() wrote the backup copy of this invoice.
    bool backedUp() const { return backedUp_; }

  private:
    QWidget* owner_;
    bool filled_ = false;
    bool backedUp_ = false;
};

// The backup copy of an invoice's workbook.
QString InvoiceBackupPath(const QString& invoiceNumber);
