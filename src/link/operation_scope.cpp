// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/operation_scope.h"

using namespace platform;

namespace printerlink {

QString failureKindName(FailureKind kind) {
    switch (kind) {
    case FailureKind::Link:
        return QStringLiteral("link");
    case FailureKind::Refused:
        return QStringLiteral("refused");
    case FailureKind::BadInput:
        return QStringLiteral("bad_input");
    case FailureKind::File:
        return QStringLiteral("file");
    }
    return QStringLiteral("link");
}

OperationScope::OperationScope(Session& s) : s_(s), outer_(s.failureSink) {
    s.failureSink = &failure_;
}

OperationScope::~OperationScope() {
    s_.failureSink = outer_;
}

Failure OperationScope::failure(const QString& fallback) const {
    return failure_ ? *failure_ : linkFailure(fallback);
}

void reportFailure(Session& s, const Failure& failure) {
    if (s.failureSink) {
        if (!*s.failureSink)
            *s.failureSink = failure;
        return;
    }
    showFailure(s.dialogs, failure);
}

void showFailure(Dialogs& dialogs, const Failure& failure) {
    dialogs.messageBox(failure.title, failure.text, failure.icon, MessageButtons::Ok);
}

} // namespace printerlink
