#pragma once

#include <QString>

// The settings in force, loaded at start and again after the settings window saves.
struct SettingsInForce {
    QString Database;
    QString Worksheet;
    QString Message0;
    QString Message1;
    qint16 Copies = 2;
    QString GUID;
    qint16 TransactionLog = 1;
};

SettingsInForce& Settings();

// Fills the settings in force from the store; creates and stores the installation identifier
// the first time it reads empty. Returns empty text, or the error of a number value that holds
// text that is no 16-bit number ("Type mismatch", "Overflow"); the values read before it are in
// force then.
QString LoadSettings();
