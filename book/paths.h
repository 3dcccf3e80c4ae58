#pragma once

#include <QString>
#include <optional>

// The folder that holds the running program; tests point it at a folder of their own.
QString ProgramFolder();
void SetProgramFolder(const QString& folder);

// A file in the program folder: ProgramFolder() + "/" + name.
QString ProgramFile(const QString& name);

// The characters after the last path separator ("/" or "\"); none when the path has no separator.
std::optional<QString> ExtractFileName(const QString& path);
