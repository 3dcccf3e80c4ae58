#pragma once

#include <QString>
#include <QStringList>

// The book's tables as tables.sql defines them, built into the programs that make blank books.
QString TablesScript();
// The same tables for a book on a PostgreSQL server.
QString ServerTablesScript();

// The statements of a tables script, one each, without its comments.
QStringList ScriptStatements(const QString& script);

// Makes a blank book at target: the tables of script and no rows. It is written under
// target + ".new" and renamed into place only when whole; a file already at target is never
// replaced. Empty on success, otherwise what went wrong.
QString WriteBlankBook(const QString& target, const QString& script = TablesScript());
