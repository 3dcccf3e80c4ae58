#include "modRegEdit.h"

#include <QSettings>
#include <cmath>
#include <limits>
#include <optional>

namespace {
QSettings openStore() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("varnaby"),
                     QStringLiteral("pellory"));
}

QString storeKey(const QString& keyPath, const QString& valueName) {
    QString key = keyPath;
    key.replace('\\', '/');
    return key + '/' + valueName;
}

// A whole number within 32 bits, from a number or from text such as "42" or " 02".
std::optional<qint32> asInt32(const QVariant& value) {
    bool ok = false;
    qlonglong number = 0;
    switch (value.metaType().id()) {
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = value.toDouble();
        // Checked before the cast: converting a double beyond the target's range is undefined.
        if (!std::isfinite(d) || std::abs(d) > 2147483648.0 || d != std::trunc(d))
            return std::nullopt;
        number = static_cast<qlonglong>(d);
        ok = true;
        break;
    }
    case QMetaType::QString:
        number = value.toString().trimmed().toLongLong(&ok);
        break;
    default:
        if (value.canConvert<qlonglong>())
            number = value.toLongLong(&ok);
        break;
    }
    if (!ok || number < std::numeric_limits<qint32>::min() ||
        number > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return static_cast<qint32>(number);
}
} // namespace

qint32 regSet_KeyValue(quint32 hive, const QString& keyPath, const QString& valueName,
                       const QVariant& value, bool forceText, const QString& machineName) {
    if (hive != HKEY_LOCAL_MACHINE || !machineName.isEmpty() || keyPath.isEmpty() ||
        valueName.isEmpty())
        return -1;
    QVariant stored = value.toString();
    if (!forceText) {
        if (const auto number = asInt32(value))
            stored = *number;
    }
    QSettings store = openStore();
    if (!store.isWritable())
        return -1;
    store.setValue(storeKey(keyPath, valueName), stored);
    store.sync();
    return store.status() == QSettings::NoError ? 0 : -1;
}

QVariant regGet_KeyValue(quint32 hive, const QString& keyPath, const QString& valueName,
                         const QVariant& defaultValue, const QString& machineName) {
    if (hive != HKEY_LOCAL_MACHINE || !machineName.isEmpty())
        return defaultValue;
    QSettings store = openStore();
    if (store.status() != QSettings::NoError)
        return defaultValue;
    const QVariant raw = store.value(storeKey(keyPath, valueName));
    // A number written during this run comes back from the store's cache as that number.
    if (raw.metaType().id() == QMetaType::Int)
        return raw.toInt();
    if (raw.metaType().id() != QMetaType::QString)
        return defaultValue; // absent, or a kind the store does not hold (lists, bytes, ...)
    // The INI file keeps no kind: text that is the canonical form of a number reads as that
    // number, as a value the store wrote as a number would.
    const QString text = raw.toString();
    bool ok = false;
    const qint32 number = text.toInt(&ok);
    if (ok && QString::number(number) == text)
        return number;
    return text;
}

QString SettingsFilePath() {
    return openStore().fileName();
}
