#pragma once

#include "result.h"

#include <QString>

// Moving a book between a file and a PostgreSQL server, both ways. The transaction log, the unit
// descriptions and the backup folder stay on each desk; only the book's three tables move.

// The figures a moved book must share with the book it came from: the rows of each table and,
// in whole cents, the balances and the amounts billed and received.
struct BookFigures {
    qint64 accounts = 0; // rows of tbl_CustomerProfile
    qint64 invoices = 0; // rows of tbl_Invoices
    qint64 balances = 0; // rows of tbl_Logs
    qint64 balanceCents = 0;
    qint64 billedCents = 0;
    qint64 receivedCents = 0;
    bool operator==(const BookFigures&) const = default;
};

// Copies the book at source (a file, or a server book's connection URI) to target, which is of
// the other kind: an empty server database (one holding no tables), or a file that does not
// exist yet. The source is only read. Everything lands in one transaction and is kept only when
// the copy's figures agree with the source's; otherwise the target is left as it was and the
// failure says which figure differed. Hands back the figures moved.
[[nodiscard]] Result<BookFigures> MoveBook(const QString& source, const QString& target);

// What a move did, in words: the rows of each table and the totals.
QString DescribeMove(const BookFigures& moved, const QString& target);
