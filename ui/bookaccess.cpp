#include "bookaccess.h"

#include "accountreading.h"
#include "accounts.h"
#include "booksession.h"
#include "busypointer.h"
#include "prompts.h"
#include "settings.h"

bool WorkOnBook(QWidget* owner, const QString& failure, const std::function<void()>& work) {
    QString error;
    {
        BusyPointer busy;
        BookSession session(Settings().Database);
        if (session.isOpen()) {
            work();
            return true;
        }
        error = session.error();
    }
    ShowMessage(owner, failure + error, QMessageBox::Critical);
    return false;
}

void ShowIncompleteRead(QWidget* owner, const QString& what, const BookFailure& failure) {
    ShowMessage(owner,
                "Error reading main database: " + what +
                    " could not be read, so what is shown is incomplete.\n\n" + failure.message,
                QMessageBox::Critical);
}

std::optional<QStringList> ReadAccountList(QWidget* owner, const QString& openFailure) {
    const auto numbers = ReadFromBook<QStringList>(owner, openFailure, AccountNumbers);
    if (!numbers)
        return std::nullopt;
    if (numbers->ok())
        return numbers->value();
    ShowIncompleteRead(owner, QStringLiteral("The list of accounts"), numbers->failure());
    return QStringList();
}

SaveOverReading CheckStillAsRead(QWidget* owner, const AccountReading& read) {
    const auto changed =
        ReadFromBook<bool>(owner, QStringLiteral("Error opening main database.\n\n"),
                           [&] { return ChangedSinceRead(read); });
    if (!changed)
        return SaveOverReading::Keep;
    if (!changed->ok()) {
        ShowMessage(owner, "Nothing was saved.\n\n" + changed->error(), QMessageBox::Critical);
        return SaveOverReading::Keep;
    }
    if (!changed->value())
        return SaveOverReading::Proceed;
    return ShowMessage(owner,
                       "Another desk changed account " + read.account +
                           " since this window read it.\n\nRead the account again? Nothing "
                           "was saved; reading it again drops what you entered.",
                       QMessageBox::Warning, QMessageBox::Yes | QMessageBox::No,
                       QStringLiteral("Account Changed")) == QMessageBox::Yes
               ? SaveOverReading::Reload
               : SaveOverReading::Keep;
}
