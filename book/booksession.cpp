#include "booksession.h"

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
    if (!session.isOpen() || daoGet_DBTableRecord(QLatin1String(sql::EngineVersion), error) != 0 ||
        !SharedRecordset().MoveFirst())
        return QStringLiteral("unknown");
    return SharedRecordset().Fields(0).toString();
}
