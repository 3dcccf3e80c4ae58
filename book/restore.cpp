#include "restore.h"

#include "booksession.h"
#include "bookwork.h"
#include "enginecalls.h"
#include "invoicelines.h"
#include "modDAO.h"
#include "paths.h"
#include "statements.h"

#include <QDir>
#include <QFileInfo>

using namespace bookwork;

namespace {
// Opens the copy read-only and fills what it holds; the damage when it is no whole book.
void checkCopy(BackupCopy& copy) {
    const BookSession session(copy.path, true);
    if (!session.isOpen()) {
        copy.damage = session.error();
        return;
    }
    const Result<QVariant> check = ReadFirstValue(sql::QuickCheck);
    const Result<QVariant> accounts = ReadFirstValue(sql::CountProfiles);
    const Result<QVariant> invoices = ReadFirstValue(sql::CountInvoices);
    if (!check || check->toString() != QLatin1String("ok"))
        copy.damage = check ? "damaged: " + check->toString() : check.error();
    else if (!accounts || !invoices)
        copy.damage = !accounts ? accounts.error() : invoices.error();
    copy.accounts = accounts ? accounts->toInt() : 0;
    copy.invoices = invoices ? invoices->toInt() : 0;
}

QString keptCopyPath(const QString& book) {
    const QFileInfo file(book);
    return file.dir().filePath(file.completeBaseName() + ".before-restore-" +
                               QDateTime::currentDateTime().toString(u"yyyyMMdd-hhmmss") + '.' +
                               file.suffix());
}

// The lines and tax rates of the copy replace the book's; a copy made before them leaves the book
// with none.
Outcome replaceLineRows() {
    const Result<QVariant> inCopy = ReadFirstValue(sql::CopyHoldsLineTables);
    if (!inCopy)
        return inCopy.failure();
    const bool copyHasThem = inCopy->toInt() > 0;
    if (Outcome ensured = EnsureLineTables(); !ensured)
        return ensured;
    for (const char* statement : sql::EmptyLineTables)
        if (Outcome done = Execute(statement, {}); !done)
            return done;
    if (copyHasThem)
        for (const char* statement : sql::CopyLineTables)
            if (Outcome done = Execute(statement, {}); !done)
                return done;
    return Done{};
}

Outcome replaceRows() {
    return InTransaction([]() -> Outcome {
        for (const char* statement : {sql::EmptyProfiles, sql::EmptyInvoices, sql::EmptyBalances,
                                      sql::CopyProfiles, sql::CopyInvoices, sql::CopyBalances})
            if (Outcome done = Execute(statement, {}); !done)
                return done;
        return replaceLineRows();
    });
}
} // namespace

std::vector<BackupCopy> ListBackupCopies(const QString& backupFolder) {
    std::vector<BackupCopy> copies;
    const QFileInfoList files =
        QDir(backupFolder).entryInfoList({QStringLiteral("*.mdb")}, QDir::Files, QDir::Time);
    for (const QFileInfo& file : files) {
        BackupCopy copy;
        copy.path = file.absoluteFilePath();
        copy.written = file.lastModified();
        copy.bytes = file.size();
        checkCopy(copy);
        copies.push_back(copy);
    }
    return copies;
}

Result<QString> RestoreBackupCopy(const QString& copyPath, const QString& book) {
    if (IsServerBook(book))
        return Refusal(QStringLiteral("A book on a server is restored from its pg_dump copy with "
                                      "psql; nothing was restored."));
    BackupCopy copy;
    copy.path = copyPath;
    checkCopy(copy);
    if (!copy.damage.isEmpty())
        return Refusal("The copy " + copyPath + " cannot be restored (" + copy.damage +
                       "); nothing was restored.");
    const QString kept = keptCopyPath(book);
    QString error;
    if (const qint32 number = daoCompact_DB(book, kept, error))
        return BookFailure{number, "The book in use could not be copied beside itself first, so "
                                   "nothing was restored.\n\n" +
                                       error};
    const BookSession session(book);
    if (!session.isOpen())
        return BookFailure{session.result(),
                           "Nothing was restored; the book is as it was.\n\n" + session.error()};
    Outcome replaced = Execute(sql::AttachCopy, {engine::FileUri(copyPath, true)});
    if (replaced) {
        replaced = replaceRows();
        // The copy is let go when the session closes too, so a failed detach undoes nothing that
        // landed and is not reported as a failed restore.
        (void)Execute(sql::DetachCopy, {});
    }
    if (!replaced)
        return BookFailure{replaced.failure().code,
                           "Nothing was restored; the book is as it was (a copy of it is kept as " +
                               kept + ").\n\n" + replaced.error()};
    return kept;
}
