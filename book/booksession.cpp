#include "booksession.h"

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

qint32 BookTransaction::commit(QString& error) {
    if (!open_) {
        error = error_;
        return result_ != 0 ? result_ : -1;
    }
    open_ = false; // a failed commit is rolled back by the data layer
    return daoCommit_Transaction(error);
}

QString EngineVersion(const QString& path) {
    BookSession session(path, true);
    QString error;
    const QVariant version =
        session.isOpen() ? bookwork::ReadFirstValue(sql::EngineVersion, error) : QVariant();
    return version.isValid() ? version.toString() : QStringLiteral("unknown");
}
