#include "settingvalues.h"

#include "formats.h"
#include "modRegEdit.h"
#include "paths.h"

#include <QFile>
#include <cmath>

QString ReadPathSetting(const QString& valueName, const QString& defaultFileName,
                        QString* vanished) {
    const QString fallback = ProgramFile(defaultFileName);
    const QString configured = ReadTextSetting(valueName, fallback);
    // A book on a server is no file; when it cannot be reached, opening it says so.
    if (!IsServerBook(configured) && !QFile::exists(configured) && QFile::exists(fallback)) {
        if (vanished)
            *vanished = configured;
        return fallback;
    }
    return configured;
}

QString VanishedBookNotice(const QString& vanished, const QString& used) {
    return "The book " + vanished + " was not found. Pellory has opened the book " + used +
           " instead";
}

std::optional<qint16> ReadInt16Setting(const QString& valueName, qint16 defaultValue,
                                       QString& error) {
    const QVariant value =
        regGet_KeyValue(HKEY_LOCAL_MACHINE, MainSettingsKey, valueName, defaultValue);
    std::optional<double> number;
    if (value.metaType().id() == QMetaType::Int)
        number = value.toInt();
    else
        number = ParseNumber(value.toString());
    if (!number) {
        error = QStringLiteral("Type mismatch");
        return std::nullopt;
    }
    const double rounded = std::nearbyint(*number); // banker's rounding, as the old conversion
    if (rounded < -32768 || rounded > 32767) {
        error = QStringLiteral("Overflow");
        return std::nullopt;
    }
    return static_cast<qint16>(rounded);
}

QString ReadTextSetting(const QString& valueName, const QString& defaultValue) {
    return regGet_KeyValue(HKEY_LOCAL_MACHINE, MainSettingsKey, valueName, defaultValue).toString();
}
