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
// the first time it reads empty. Throws std::runtime_error when a number value holds text
// that is not a 16-bit number.
void LoadSettings();
