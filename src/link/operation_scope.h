// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/result.h"
#include "link/session.h"

#include <optional>

namespace printerlink {

// Held by an operation while it talks to the printer: the link's failures (a read error, a
// refused write) are kept for its result instead of shown. Scopes nest; the innermost keeps.
class OperationScope {
public:
    explicit OperationScope(Session& s);
    ~OperationScope();
    OperationScope(const OperationScope&) = delete;
    OperationScope& operator=(const OperationScope&) = delete;

    bool failed() const { return failure_.has_value(); }
    // The first failure reported while the scope was held, or a link failure with `fallback`.
    Failure failure(const QString& fallback = {}) const;

private:
    Session& s_;
    std::optional<Failure>* outer_;
    std::optional<Failure> failure_;
};

// Said the window's way: in an operation's scope kept, outside it shown in its box.
void reportFailure(Session& s, const Failure& failure);

// The window shows a failure in its own box (title, text, icon, OK).
void showFailure(platform::Dialogs& dialogs, const Failure& failure);

} // namespace printerlink
