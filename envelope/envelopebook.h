#pragma once

#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <vector>

// What the envelope printer reads and remembers. It only ever reads the book: each read opens
// it read-only and closes it again, so the envelope printer can neither change the book nor
// hold a lock that would make a save of the main program wait.

using AddressLines = std::array<QString, 4>;

// Start-up values read from the main program's settings, which the envelope printer never
// writes.
struct EnvelopeSettings {
    QString database;
    qint16 copies = 2;
    // Why the values cannot be used ("Type mismatch", "Overflow"); empty when they can.
    QString error;
    // What the user must be told before any envelope is printed: that the configured book
    // was not found and which one is read instead. Empty when the book read is the one set.
    QString notice;
};

// The main program's Database and Copies, with their defaults and fallback rule, the program
// folder being the envelope printer's own; a fallback is told as the main program tells it.
EnvelopeSettings ReadEnvelopeSettings();

// The return address kept under the envelope key, one value per line; a line reads back as
// the text it was saved as, leading zeros included.
AddressLines ReadReturnAddress();
// False when the settings store could not be written.
bool SaveReturnAddress(const AddressLines& lines);

// Whom an envelope goes to: the account's customer name and billing address.
struct Addressee {
    QString name;
    AddressLines billAddress;
};

// The outcome of one read of the book: an empty openError when the book opened, an empty
// readError when what was asked for was read whole.
struct BookRead {
    QString openError;
    QString readError;
    bool opened() const { return openError.isEmpty(); }
};

// Hands every account number to `add`, in table order. A failed query adds nothing.
BookRead ReadAccountNumbers(const QString& database,
                            const std::function<void(const QString&)>& add);

// The addressee of one account; `found` stays empty when no account has that number.
BookRead ReadAddressee(const QString& database, const QString& account,
                       std::optional<Addressee>& found);

// One cell of the envelope sheet and the text it receives.
struct EnvelopeCell {
    int row;
    int column;
    QString value;
};

// The cells of Sheet1: each address line in its own column of one row, the first line in the
// rightmost column; the return address upper left, the recipient in the centre. Each value
// is the line as text (a leading apostrophe), to be written as typed.
std::vector<EnvelopeCell> EnvelopeCells(const AddressLines& returnAddress,
                                        const AddressLines& billAddress);
