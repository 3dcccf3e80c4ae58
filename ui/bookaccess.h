#pragma once

#include "result.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;
struct AccountReading;

// Runs work on the book of the settings in force, under the busy pointer, and closes the book
// again before anything is shown. When the book cannot be opened the user is told, with failure
// followed by the data layer's message, and false comes back.
bool WorkOnBook(QWidget* owner, const QString& failure, const std::function<void()>& work);

// WorkOnBook for one read: none when the book could not be opened (the user has been told).
template <typename T>
std::optional<Result<T>> ReadFromBook(QWidget* owner, const QString& failure,
                                      const std::function<Result<T>()>& read) {
    std::optional<Result<T>> result;
    if (!WorkOnBook(owner, failure, [&] { result.emplace(read()); }))
        return std::nullopt;
    return result;
}

// Tells the user that what names could not be read, so that what the window shows is not the
// whole truth; the data layer's message follows.
void ShowIncompleteRead(QWidget* owner, const QString& what, const BookFailure& failure);

// Every account number, for a window's account list: none when the book could not be opened;
// an empty list, the user told, when the accounts could not be read.
std::optional<QStringList> ReadAccountList(QWidget* owner, const QString& openFailure);

// Whether a save may go over what a window read of an account. Not when the book cannot be read
// (the user is told), nor when another desk changed the account since: the user is told so and
// chooses whether the window reads the account again or keeps the input unsaved.
enum class SaveOverReading { Proceed, Keep, Reload };
SaveOverReading CheckStillAsRead(QWidget* owner, const AccountReading& read);
