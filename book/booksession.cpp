#include "booksession.h"

#include "bookchanges.h"
#include "bookwork.h"
#include "modDAO.h"
#include "statements.h"

BookSession::BookSession(const QString& path, bool readOnly) {
    result_ = daoOpen_DBConnection(path, error_, readOnly);
}

BookSession::~BookSession() {
    if (isOpen())
        daoClose_DBConnection();
}

BookTransaction::BookTransaction() {
    result_ = daoBegin_Transaction(error_);
    open_ = result_ == 0;
}

BookTransaction::~BookTransaction() {
    if (open_)
        daoRollback_Transaction();
}

Outcome BookTransaction::commit() {
    if (!open_)
        return BookFailure{result_ != 0 ? result_ : -1, error_};
    open_ = false; // a failed commit is rolled back by the data layer
    QString error;
    if (const qint32 number = daoCommit_Transaction(error))
        return BookFailure{number, error};
    AnnounceBookChanged();
    return Done{};
}

QString EngineVersion(const QString& path) {
    BookSession session(path, true);
    if (!session.isOpen())
        return QStringLiteral("unknown");
    const Result<QVariant> version = bookwork::ReadFirstValue(sql::EngineVersion);
    return version && version->isValid() ? version->toString() : QStringLiteral("unknown");
}
