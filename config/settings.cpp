#include "settings.h"

#include "events.h"
#include "modGUID.h"
#include "modRegEdit.h"
#include "settingvalues.h"

SettingsInForce& Settings() {
    static SettingsInForce settings;
    return settings;
}

QString LoadSettings() {
    SettingsInForce& s = Settings();
    s.Database = ReadPathSetting(setting::Database, setting::DefaultDatabaseName);
    LetEventsRun();
    s.Message0 = ReadTextSetting(setting::Message0, setting::DefaultMessage0);
    LetEventsRun();
    s.Message1 = ReadTextSetting(setting::Message1, setting::DefaultMessage1);
    LetEventsRun();
    s.Worksheet = ReadPathSetting(setting::Worksheet, setting::DefaultWorksheetName);
    LetEventsRun();
    QString error;
    const auto copies = ReadInt16Setting(setting::Copies, setting::DefaultCopies, error);
    if (!copies)
        return error;
    s.Copies = *copies;
    LetEventsRun();
    s.GUID = ReadTextSetting(setting::GUID);
    if (s.GUID.isEmpty()) {
        s.GUID = NewGUIDString();
        regSet_KeyValue(HKEY_LOCAL_MACHINE, MainSettingsKey, setting::GUID, s.GUID, true);
    }
    LetEventsRun();
    const auto logging =
        ReadInt16Setting(setting::TransactionLog, setting::DefaultTransactionLog, error);
    if (!logging)
        return error;
    s.TransactionLog = *logging;
    LetEventsRun();
    return {};
}
