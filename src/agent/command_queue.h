// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QQueue>
#include <QSet>
#include <QString>
#include <optional>

namespace agent {

struct QueuedCommand {
    QString operation;
    QString id;
    QJsonObject args;
};

// Commands in arrival order, one at a time, and the answers already given by id. An id is
// taken when it arrives, so a redelivery while it waits or runs is not queued again; once
// answered, the answer is kept (the oldest go first past the bounds) and given again.
class CommandQueue {
public:
    struct Bounds {
        int waiting = 1000; // commands queued at once
        int answers = 4096; // answers remembered
        qsizetype answerBytes = 4 << 20;
    };
    CommandQueue() = default;
    explicit CommandQueue(Bounds bounds) : bounds_(bounds) {}

    enum class Arrival { Queued, AlreadyWaiting, AlreadyAnswered, Full };
    Arrival add(QueuedCommand command);
    std::optional<QueuedCommand> take();
    bool isEmpty() const { return waiting_.isEmpty(); }
    qsizetype waitingCount() const { return waiting_.size(); }

    // Remembers the answer to `id` (and frees the id from the waiting set).
    void answer(const QString& id, const QByteArray& body);
    std::optional<QByteArray> answerOf(const QString& id) const;
    qsizetype answersKept() const { return answers_.size(); }

private:
    Bounds bounds_;
    QQueue<QueuedCommand> waiting_;
    QSet<QString> taken_; // waiting or running
    QHash<QString, QByteArray> answers_;
    QQueue<QString> answerOrder_;
    qsizetype answerBytes_ = 0;
};

} // namespace agent
