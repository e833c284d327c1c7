// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "agent/agent_config.h"
#include "agent/agent_topics.h"
#include "agent/command_queue.h"
#include "link/result.h"
#include "link/session.h"
#include "mqtt/mqtt_client.h"
#include "operations/registry.h"

#include <QDateTime>
#include <QJsonObject>
#include <QObject>
#include <QTimer>

namespace agent {

// One printer on the broker: its status and read-outs published, the commands sent to it run
// one at a time between read-outs, every answer on result/<id>.
//
// Operations wait on the port with the event loop turning, so messages and timers may arrive
// in the middle of one: they only queue work, and the next piece starts from the event loop
// once the one under way has ended.
class Agent : public QObject {
    Q_OBJECT
public:
    Agent(AgentConfig config, printerlink::Session& session, mqtt::Client& broker,
          QObject* parent = nullptr);

    // Empty when the configuration names only operations the registry has.
    QString configError() const;
    void start();
    // Says "offline" on the status topic and leaves the broker, after the command under way;
    // then emits stopped().
    void stop();

    bool printerOnline() const { return online_; }
    const CommandQueue& queue() const { return queue_; }
    // The JSON of each topic, as last published.
    QJsonObject statusJson() const;
    QJsonObject readoutsJson() const { return readouts_; }

    // The answer to a command, without the broker: what result/<id> gets.
    QJsonObject execute(const QueuedCommand& command);

signals:
    // After each answer published (tests and benchmarks count them).
    void answered(const QString& id);
    void polled();
    void stopped();

private:
    void onConnected();
    void onMessage(const QString& topic, const QByteArray& payload);
    void scheduleWork();
    void work();
    void pollDue();
    // A poll is read one read-out at a time, so a command waits for one read-out, not all.
    void beginPoll();
    void pollStep();
    printerlink::Result<void> ensurePrinter();
    void noteOutcome(const operations::Outcome& out);
    void printerLost(const QString& why);
    void publishStatus();
    void publishAnswer(const QString& id, const QByteArray& body);
    void refuseBody(const QString& topic, const QString& why);

    AgentConfig config_;
    printerlink::Session& session_;
    mqtt::Client& broker_;
    Topics topics_;
    CommandQueue queue_;
    QTimer pollTimer_;
    QTimer retryTimer_;
    bool running_ = false;
    bool stopWanted_ = false;
    bool pollWanted_ = true;
    bool workScheduled_ = false;
    bool online_ = false;
    QString lastError_;
    QString versionText_;
    QDateTime lastExchange_;
    QJsonObject readouts_;
    QStringList pollLeft_;
    QJsonObject pollReadouts_;
};

// {"ok": ..., "kind": ..., "exit": ..., "message": ..., "data": {...}} of an outcome.
QJsonObject answerJson(const operations::Outcome& out);
QJsonObject failureJson(const printerlink::Failure& failure);

} // namespace agent
