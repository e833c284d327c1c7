// SPDX-License-Identifier: GPL-3.0-or-later
#include "agent/command_queue.h"

namespace agent {

CommandQueue::Arrival CommandQueue::add(QueuedCommand command) {
    if (answers_.contains(command.id))
        return Arrival::AlreadyAnswered;
    if (taken_.contains(command.id))
        return Arrival::AlreadyWaiting;
    if (waiting_.size() >= bounds_.waiting)
        return Arrival::Full;
    taken_.insert(command.id);
    waiting_.enqueue(std::move(command));
    return Arrival::Queued;
}

std::optional<QueuedCommand> CommandQueue::take() {
    if (waiting_.isEmpty())
        return std::nullopt;
    return waiting_.dequeue();
}

void CommandQueue::answer(const QString& id, const QByteArray& body) {
    taken_.remove(id);
    if (answers_.contains(id))
        return;
    answers_.insert(id, body);
    answerOrder_.enqueue(id);
    answerBytes_ += body.size();
    while (answerOrder_.size() > 1 &&
           (answerOrder_.size() > bounds_.answers || answerBytes_ > bounds_.answerBytes)) {
        const QString old = answerOrder_.dequeue();
        answerBytes_ -= answers_.take(old).size();
    }
}

std::optional<QByteArray> CommandQueue::answerOf(const QString& id) const {
    const auto it = answers_.constFind(id);
    if (it == answers_.constEnd())
        return std::nullopt;
    return *it;
}

} // namespace agent
