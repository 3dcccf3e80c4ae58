#include "settingvalues.h"

#include "formats.h"
#include "modRegEdit.h"
#include "paths.h"

#include <QFile>
#include <cmath>
#include <stdexcept>

QString ReadPathSetting(const QString& valueName, const QString& defaultFileName) {
    const QString fallback = ProgramFile(defaultFileName);
    const QString configured = ReadTextSetting(valueName, fallback);
    if (!QFile::exists(configured) && QFile::exists(fallback))
        return fallback;
    return configured;
}

qint16 ReadInt16Setting(const QString& valueName, qint16 defaultValue) {
    const QVariant value =
        regGet_KeyValue(HKEY_LOCAL_MACHINE, MainSettingsKey, valueName, defaultValue);
    if (value.metaType().id() == QMetaType::Int) {
        const int number = value.toInt();
        if (number < -32768 || number > 32767)
            throw std::runtime_error("Overflow");
        return static_cast<qint16>(number);
    }
    const auto number = ParseNumber(value.toString());
    if (!number)
        throw std::runtime_error("Type mismatch");
    const double rounded = std::nearbyint(*number); // banker's rounding, as the old conversion
    if (rounded < -32768 || rounded > 32767)
        throw std::runtime_error("Overflow");
    return static_cast<qint16>(rounded);
}

QString ReadTextSetting(const QString& valueName, const QString& defaultValue) {
    return regGet_KeyValue(HKEY_LOCAL_MACHINE, MainSettingsKey, valueName, defaultValue).toString();
}
