#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The folder the programs keep the book, the workbooks, backup/ and the unit descriptions in.
// Run from the build folder it is the folder that holds the program. An installed program (one
// whose shared files sit in ../share/pellory beside its own folder) uses the user's data folder
// instead, so that nothing is written below /usr. Tests point it at a folder of their own.
QString ProgramFolder();
void SetProgramFolder(const QString& folder);

// A file in the program folder: ProgramFolder() + "/" + name.
QString ProgramFile(const QString& name);

// A read-only file installed with the programs (the help document): in share/pellory for an
// installed program, in the program folder otherwise.
QString SharedFile(const QString& name);

// An installed program's shared folder (share/pellory); empty when it runs from the build folder.
QString InstalledSharedFolder();

// The user's data folder both programs share: the AppDataLocation of organization "varnaby",
// application "pellory" (~/.local/share/varnaby/pellory), whichever program asks.
QString UserDataFolder();

// The files a program folder starts with: the blank book and the two workbooks.
QStringList SeededFileNames();

// Creates folder and its backup/ and copies each of SeededFileNames() that it lacks from shared.
// A file already there is never replaced. Returns what went wrong, naming what was copied and
// what was not; empty on success.
QString SeedProgramFolder(const QString& shared, const QString& folder);

// For an installed program, seeds ProgramFolder() from the shared folder; from the build folder
// there is nothing to do. Returns what went wrong; empty on success.
QString PrepareProgramFolder();

// The characters after the last path separator ("/" or "\"); none when the path has no separator.
std::optional<QString> ExtractFileName(const QString& path);

// True when the Database setting names a book on a PostgreSQL server (a connection URI) rather
// than a file.
bool IsServerBook(const QString& book);
