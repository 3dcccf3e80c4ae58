#pragma once

// The two kinds of book speak slightly different SQL. A statement that differs holds both
// wordings side by side; the data layer says which kind of book is open, and the statement
// reads as that one's wording wherever a statement text is taken.
namespace sql {

enum class Dialect { File, Server };

// The kind of the book the data layer has open; a file when none is.
inline Dialect& OpenDialect() {
    static Dialect open = Dialect::File;
    return open;
}

struct Dialectal {
    const char* file;
    const char* server;

    const char* in(Dialect dialect) const { return dialect == Dialect::Server ? server : file; }
    operator const char*() const { return in(OpenDialect()); }
};

} // namespace sql
