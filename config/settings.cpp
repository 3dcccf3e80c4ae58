#include "settings.h"

#include "events.h"
#include "modGUID.h"
#include "modRegEdit.h"
#include "settingvalues.h"

SettingsInForce& Settings() {
    static SettingsInForce settings;
    return settings;
}

namespace {
// A number value, or its default when the stored text is no 16-bit number; then notices says
// which value in which file was ignored.
qint16 readNumber(const QString& name, qint16 defaultValue, QStringList& notices) {
    QString error;
    if (const auto value = ReadInt16Setting(name, defaultValue, error))
        return *value;
    const QString stored =
        regGet_KeyValue(HKEY_LOCAL_MACHINE, MainSettingsKey, name, defaultValue).toString();
    notices << "The setting " + name + "=" + stored + " in " + SettingsFilePath() +
                   " cannot be read (" + error + "); Pellory uses " +
                   QString::number(defaultValue) + " instead.";
    return defaultValue;
}
} // namespace

QStringList LoadSettings() {
    SettingsInForce& s = Settings();
    QStringList notices;
    QString vanishedBook;
    s.Database = ReadPathSetting(setting::Database, setting::DefaultDatabaseName, &vanishedBook);
    if (!vanishedBook.isEmpty())
        notices << VanishedBookNotice(vanishedBook, s.Database) +
                       "; what you enter now is stored there.";
    LetEventsRun();
    s.Message0 = ReadTextSetting(setting::Message0, setting::DefaultMessage0);
    LetEventsRun();
    s.Message1 = ReadTextSetting(setting::Message1, setting::DefaultMessage1);
    LetEventsRun();
    s.Worksheet = ReadPathSetting(setting::Worksheet, setting::DefaultWorksheetName);
    LetEventsRun();
    s.Copies = readNumber(setting::Copies, setting::DefaultCopies, notices);
    LetEventsRun();
    const QString storedGUID = ReadTextSetting(setting::GUID);
    if (!storedGUID.isEmpty()) {
        s.GUID = storedGUID;
    } else {
        // One identifier a run: one made earlier in this run that could not be stored stays.
        const bool made = s.GUID.isEmpty();
        if (made)
            s.GUID = NewGUIDString();
        const bool stored =
            regSet_KeyValue(HKEY_LOCAL_MACHINE, MainSettingsKey, setting::GUID, s.GUID, true) == 0;
        if (made && !stored)
            notices << "The settings file " + SettingsFilePath() +
                           " cannot be written, so no setting can be saved: the installation "
                           "identifier (GUID) made at this start and any change made in Settings "
                           "are lost when Pellory ends.";
    }
    LetEventsRun();
    s.TransactionLog = readNumber(setting::TransactionLog, setting::DefaultTransactionLog, notices);
    LetEventsRun();
    return notices;
}
