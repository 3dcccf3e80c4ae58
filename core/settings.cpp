#include "settings.h"

#include "modGUID.h"
#include "modRegEdit.h"
#include "settingvalues.h"

#include <QCoreApplication>

SettingsInForce& Settings() {
    static SettingsInForce settings;
    return settings;
}

namespace {
void letEventsRun() {
    QCoreApplication::processEvents();
}
} // namespace

void LoadSettings() {
    SettingsInForce& s = Settings();
    s.Database = ReadPathSetting(setting::Database, setting::DefaultDatabaseName);
    letEventsRun();
    s.Message0 = ReadTextSetting(setting::Message0, setting::DefaultMessage0);
    letEventsRun();
    s.Message1 = ReadTextSetting(setting::Message1, setting::DefaultMessage1);
    letEventsRun();
    s.Worksheet = ReadPathSetting(setting::Worksheet, setting::DefaultWorksheetName);
    letEventsRun();
    s.Copies = ReadInt16Setting(setting::Copies, setting::DefaultCopies);
    letEventsRun();
    s.GUID = ReadTextSetting(setting::GUID);
    if (s.GUID.isEmpty()) {
        s.GUID = NewGUIDString();
        regSet_KeyValue(HKEY_LOCAL_MACHINE, MainSettingsKey, setting::GUID, s.GUID, true);
    }
    letEventsRun();
    s.TransactionLog = ReadInt16Setting(setting::TransactionLog, setting::DefaultTransactionLog);
    letEventsRun();
}
