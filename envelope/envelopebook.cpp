#include "envelopebook.h"

#include "columns.h"
#include "modDAO.h"
#include "modRegEdit.h"
#include "settingvalues.h"
#include "statements.h"

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
BookRead readBook(const QString& database, const std::function<void()>& read) {
    BookRead result;
    if (daoOpen_DBConnection(database, result.openError, true) != 0)
        return result;
    read();
    daoClose_DBConnection();
    return result;
}
} // namespace

EnvelopeSettings ReadEnvelopeSettings() {
    return {ReadPathSetting(setting::Database, setting::DefaultDatabaseName),
            ReadInt16Setting(setting::Copies, setting::DefaultCopies)};
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
    return readBook(database, [&] {
        QString error;
        if (daoGet_DBTableRecord(QLatin1String(sql::SelectAllProfiles), error) != 0)
            return;
        Recordset& rows = SharedRecordset();
        for (rows.MoveFirst(); !rows.EndOfFile(); rows.MoveNext())
            add(rows.Fields(col::AccountNumber).toString());
    });
}

BookRead ReadAddressee(const QString& database, const QString& account,
                       std::optional<Addressee>& found) {
    found.reset();
    return readBook(database, [&] {
        QString error;
        if (daoGet_DBTableRecord(QLatin1String(sql::SelectProfile), error, {account}) != 0 ||
            !SharedRecordset().MoveFirst())
            return;
        const Recordset& profile = SharedRecordset();
        Addressee addressee{profile.Fields(col::CustomerName).toString(), {}};
        for (std::size_t line = 0; line < addressee.billAddress.size(); ++line)
            addressee.billAddress[line] =
                profile.Fields(col::BillAddress1 + static_cast<int>(line)).toString();
        found = addressee;
    });
}

std::vector<EnvelopeCell> EnvelopeCells(const AddressLines& returnAddress,
                                        const AddressLines& billAddress) {
    std::vector<EnvelopeCell> cells;
    for (std::size_t line = 0; line < returnAddress.size(); ++line)
        cells.push_back(
            {ReturnAddressCells[line].row, ReturnAddressCells[line].column, returnAddress[line]});
    for (std::size_t line = 0; line < billAddress.size(); ++line)
        cells.push_back(
            {BillAddressCells[line].row, BillAddressCells[line].column, billAddress[line]});
    return cells;
}
