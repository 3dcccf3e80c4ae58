#pragma once

#include <QString>

// The rightmost `width` characters of `width` zeros followed by text ("1F", 4 gives "001F").
QString ZeroPad(const QString& text, qint16 width);

// A new installation identifier: "{" 8-4-4-4-12 "}", always 38 characters. The bytes of the
// last two groups are written without widening to two digits, so the text need not match
// the GUID's usual form; it only has to identify the installation.
QString NewGUIDString();
