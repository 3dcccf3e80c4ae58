#pragma once

#include <QString>
#include <QStringList>

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
// the first time it reads empty (once a run: a store that cannot be written keeps the one in
// force). A number value that is no 16-bit number is replaced by its default. Returns what the
// user must be told once: each value that was ignored, with the file holding it, a configured
// book that was not found, with the book used instead, and a settings file that cannot be
// written. Empty when everything was read as stored.
QStringList LoadSettings();
