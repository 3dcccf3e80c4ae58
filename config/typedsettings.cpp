#include "typedsettings.h"

#include "formats.h"
#include "invoicelines.h"
#include "modRegEdit.h"
#include "settingvalues.h"

namespace {
QVariant readMain(const QString& name, const QVariant& defaultValue) {
    return regGet_KeyValue(HKEY_LOCAL_MACHINE, MainSettingsKey, name, defaultValue);
}

bool storeMain(const QString& name, const QVariant& value) {
    return regSet_KeyValue(HKEY_LOCAL_MACHINE, MainSettingsKey, name, value) == 0;
}

std::optional<int> readWholeNumber(const QString& name, int defaultValue) {
    bool isNumber = false;
    const int value = readMain(name, defaultValue).toString().toInt(&isNumber);
    return isNumber ? std::optional<int>(value) : std::nullopt;
}
} // namespace

qlonglong ReadLastInvoice() {
    return readMain(setting::LastInvoice, 0).toLongLong();
}

bool RaiseLastInvoice(double number) {
    const double stored = ParseNumber(readMain(setting::LastInvoice, 0).toString()).value_or(0.0);
    if (number <= stored)
        return true;
    // A number beyond 32 bits cannot be kept as the store's number value.
    return number < 2147483647.5 &&
           storeMain(setting::LastInvoice, static_cast<qint32>(std::llround(number)));
}

std::optional<int> ReadNoShow() {
    return readWholeNumber(setting::NoShow, 0);
}

bool TipsHidden() {
    return ReadNoShow().value_or(0) != 0;
}

bool StoreTipsHidden(bool hidden) {
    return storeMain(setting::NoShow, hidden ? 1 : 0);
}

MainWindowState ReadMainWindowState() {
    switch (readWholeNumber(setting::MainWindowSize, 2).value_or(2)) {
    case 0:
        return MainWindowState::Normal;
    case 1:
        return MainWindowState::Minimized;
    default:
        return MainWindowState::Maximized;
    }
}

bool StoreMainWindowState(MainWindowState state) {
    return storeMain(setting::MainWindowSize, static_cast<int>(state));
}

TaxRounding ReadTaxRounding() {
    return readWholeNumber(setting::TaxRounding, 0).value_or(0) == 1 ? TaxRounding::OnTotal
                                                                     : TaxRounding::PerLine;
}

bool StoreTaxRounding(TaxRounding rounding) {
    return storeMain(setting::TaxRounding, rounding == TaxRounding::OnTotal ? 1 : 0);
}
