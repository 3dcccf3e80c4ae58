#pragma once

#include <QString>
#include <QVariant>

// The settings store both programs share: an INI file in the user's settings folder
// (organization "varnaby", application "pellory"). Key paths keep their registry form;
// each backslash-separated part becomes a group.

// The only hive callers pass; kept so that calls read as they do on Windows.
inline constexpr quint32 HKEY_LOCAL_MACHINE = 0x80000002u;

inline const QString MainSettingsKey = QStringLiteral("software\\varnaby\\pellory\\Settings");
inline const QString EnvelopeSettingsKey =
    QStringLiteral("software\\varnaby\\pellory\\envelope\\Settings");

// Stores value under key\name. With forceText the value is stored as text; otherwise a value
// that converts to a 32-bit integer is stored as that number ("02" becomes 2), anything else
// as text. Returns 0 when the store was written, -1 when it cannot be.
[[nodiscard]] qint32 regSet_KeyValue(quint32 hive, const QString& keyPath, const QString& valueName,
                                     const QVariant& value, bool forceText = false,
                                     const QString& machineName = QString());

// The stored text or number; the default when the value is absent or of a kind the store does
// not hold (an invalid QVariant, read as empty text or 0, when no default is given). A stored
// empty text reads as empty text.
QVariant regGet_KeyValue(quint32 hive, const QString& keyPath, const QString& valueName,
                         const QVariant& defaultValue = QVariant(),
                         const QString& machineName = QString());

// Where the store lives, for the README and the About window.
QString SettingsFilePath();
