#include "envelopebook.h"

#include "accounts.h"
#include "booksession.h"
#include "modRegEdit.h"
#include "settingvalues.h"

namespace {
struct CellPosition {
    int row;
    int column;
};

constexpr std::array<CellPosition, 4> ReturnAddressCells{{{2, 13}, {2, 12}, {2, 11}, {2, 10}}};
constexpr std::array<CellPosition, 4> BillAddressCells{{{13, 8}, {13, 7}, {13, 6}, {13, 5}}};

QString returnAddressValue(std::size_t line) {
    return QStringLiteral("ReturnAddr") + QString::number(line + 1);
}

// Opens the book read-only for the length of `read` only.
BookRead readBook(const QString& database, const std::function<Outcome()>& read) {
    const BookSession session(database, true);
    if (!session.isOpen())
        return {session.error(), {}};
    return {{}, read().error()};
}
} // namespace

EnvelopeSettings ReadEnvelopeSettings() {
    EnvelopeSettings settings;
    QString vanishedBook;
    settings.database =
        ReadPathSetting(setting::Database, setting::DefaultDatabaseName, &vanishedBook);
    if (!vanishedBook.isEmpty())
        settings.notice = VanishedBookNotice(vanishedBook, settings.database) +
                          "; the envelopes are addressed from its accounts.";
    settings.copies = ReadInt16Setting(setting::Copies, setting::DefaultCopies, settings.error)
                          .value_or(setting::DefaultCopies);
    return settings;
}

AddressLines ReadReturnAddress() {
    AddressLines lines;
    for (std::size_t line = 0; line < lines.size(); ++line)
        lines[line] = regGet_KeyValue(HKEY_LOCAL_MACHINE, EnvelopeSettingsKey,
                                      returnAddressValue(line), QString())
                          .toString();
    return lines;
}

bool SaveReturnAddress(const AddressLines& lines) {
    bool saved = true;
    for (std::size_t line = 0; line < lines.size(); ++line)
        saved = regSet_KeyValue(HKEY_LOCAL_MACHINE, EnvelopeSettingsKey, returnAddressValue(line),
                                lines[line], true) == 0 &&
                saved;
    return saved;
}

BookRead ReadAccountNumbers(const QString& database,
                            const std::function<void(const QString&)>& add) {
    return readBook(database, [&]() -> Outcome {
        const auto numbers = AccountNumbers();
        if (!numbers)
            return numbers.failure();
        for (const QString& account : *numbers)
            add(account);
        return Done{};
    });
}

BookRead ReadAddressee(const QString& database, const QString& account,
                       std::optional<Addressee>& found) {
    found.reset();
    return readBook(database, [&]() -> Outcome {
        const auto profile = ReadProfile(account);
        if (!profile)
            return profile.failure();
        if (*profile)
            found = Addressee{(*profile)->CustomerName, (*profile)->BillAddress};
        return Done{};
    });
}

std::vector<EnvelopeCell> EnvelopeCells(const AddressLines& returnAddress,
                                        const AddressLines& billAddress) {
    // The leading apostrophe makes every line text, so "00123" keeps its zeros and nothing
    // typed becomes a number, a date or a formula.
    std::vector<EnvelopeCell> cells;
    for (std::size_t line = 0; line < returnAddress.size(); ++line)
        cells.push_back({ReturnAddressCells[line].row, ReturnAddressCells[line].column,
                         "'" + returnAddress[line]});
    for (std::size_t line = 0; line < billAddress.size(); ++line)
        cells.push_back(
            {BillAddressCells[line].row, BillAddressCells[line].column, "'" + billAddress[line]});
    return cells;
}
