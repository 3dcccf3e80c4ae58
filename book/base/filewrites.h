#pragma once

#include <QString>
#include <functional>

// Files the programs write whole or not at all: the new content goes into a scratch file beside
// the target, named after it and hidden, and only a complete one is renamed over the target, so
// a failure or a kill half-way leaves the previous file as it was.

// write(scratch) makes the new file; false when it could not. No scratch file is left behind
// either way.
[[nodiscard]] bool WriteBeside(const QString& target,
                               const std::function<bool(const QString& scratch)>& write);

// Copies source over target through WriteBeside.
[[nodiscard]] bool CopyWhole(const QString& source, const QString& target);
