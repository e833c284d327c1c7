// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/dialogs.h"

#include <QString>
#include <utility>
#include <variant>

namespace printerlink {

// Why an operation gave no value. The kind tells a front what to do with it (the command line's
// exit status, the agent's error field); the text is the one the window shows, word for word.
enum class FailureKind {
    Link,     // the port or the line failed: nothing, or nothing usable, came back
    Refused,  // the printer answered but cannot do it (an empty mark, an empty slot, no bitmap)
    BadInput, // what the user gave cannot be sent (a number out of range, a text too long)
    File,     // a file could not be read or written
};

// "link", "refused", "bad_input", "file": the kind's name in JSON.
QString failureKindName(FailureKind kind);

struct Failure {
    FailureKind kind = FailureKind::Link;
    QString text;
    // How the window shows it; most failures are an error box titled "ОШИБКА".
    QString title = QStringLiteral("ОШИБКА");
    platform::MessageIcon icon = platform::MessageIcon::Error;
    // The failure in one plain line where the window's box text is laid out for a box
    // ("Марка 07 пуста." for "    ПУСТАЯ МАРКА!      "); empty when the text says it well.
    QString brief;
};

inline Failure failureOf(FailureKind kind, QString text) {
    Failure f;
    f.kind = kind;
    f.text = std::move(text);
    return f;
}
inline Failure linkFailure(QString text) {
    return failureOf(FailureKind::Link, std::move(text));
}
inline Failure refusal(QString text) {
    return failureOf(FailureKind::Refused, std::move(text));
}
inline Failure badInput(QString text) {
    return failureOf(FailureKind::BadInput, std::move(text));
}
inline Failure fileFailure(QString text) {
    return failureOf(FailureKind::File, std::move(text));
}

// The value of an operation, or why there is none.
template <class T> class [[nodiscard]] Result {
public:
    Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    Result(Failure failure) : state_(std::in_place_index<1>, std::move(failure)) {}

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }

    const T& value() const& { return std::get<0>(state_); }
    T& value() & { return std::get<0>(state_); }
    T&& value() && { return std::get<0>(std::move(state_)); }
    const T& operator*() const& { return value(); }
    T& operator*() & { return value(); }
    const T* operator->() const { return &value(); }
    T* operator->() { return &value(); }

    const Failure& failure() const { return std::get<1>(state_); }

private:
    std::variant<T, Failure> state_;
};

template <> class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Failure failure) : failure_(std::move(failure)), ok_(false) {}

    bool ok() const { return ok_; }
    explicit operator bool() const { return ok_; }
    const Failure& failure() const { return failure_; }

private:
    Failure failure_;
    bool ok_ = true;
};

} // namespace printerlink
