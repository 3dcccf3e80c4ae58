#pragma once

#include <QString>
#include <utility>
#include <variant>

// What a book operation hands back: the value it read or made, or why it could not. The type is
// [[nodiscard]] and the build turns a dropped one into an error, so a failure cannot pass unseen.

struct BookFailure {
    qint32 code = -1; // the engine's error number; -1 when the program itself refused
    QString message;  // "<routine>(), Error = <number> : <description>", or a sentence
};

// The value of an operation that has nothing to hand back but success.
struct Done {};

template <typename T = Done> class [[nodiscard]] Result {
  public:
    Result(T value) : state_(std::move(value)) {}
    Result(BookFailure failure) : state_(std::move(failure)) {}

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }

    // Only on success.
    const T& value() const& { return std::get<0>(state_); }
    T& value() & { return std::get<0>(state_); }
    T&& value() && { return std::get<0>(std::move(state_)); }
    const T& operator*() const& { return value(); }
    T& operator*() & { return value(); }
    const T* operator->() const { return &value(); }
    T* operator->() { return &value(); }

    // Only on failure.
    const BookFailure& failure() const { return std::get<1>(state_); }
    // Empty on success.
    QString error() const { return ok() ? QString() : failure().message; }
    // 0 on success.
    qint32 code() const { return ok() ? 0 : failure().code; }

    // The failure of this result as the result of another kind.
    template <typename U> Result<U> as() const { return failure(); }

  private:
    std::variant<T, BookFailure> state_;
};

using Outcome = Result<Done>;

inline BookFailure Refusal(const QString& message) {
    return {-1, message};
}
