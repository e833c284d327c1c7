// SPDX-License-Identifier: GPL-3.0-or-later
#include "agent/agent.h"

#include "agent/command_payload.h"
#include "agent/file_arguments.h"
#include "link/port_opening.h"
#include "platform/plain_text.h"

#include <QJsonDocument>

using namespace printerlink;

namespace agent {

namespace {

// What the read-outs topic holds, each under its operation's name.
const QStringList readoutOperations = {
    QStringLiteral("settings"), QStringLiteral("mode"),     QStringLiteral("hours"),
    QStringLiteral("printed"),  QStringLiteral("text-map"), QStringLiteral("logo-map"),
};
const QString versionOperation = QStringLiteral("version");

QByteArray compact(const QJsonObject& o) {
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

QString utcNow() {
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
}

} // namespace

QJsonObject failureJson(const Failure& failure) {
    operations::Outcome out;
    out.failure = failure;
    return answerJson(out);
}

QJsonObject answerJson(const operations::Outcome& out) {
    QJsonObject data = out.json;
    if (!out.text.isEmpty() && !data.contains(QLatin1String("text")))
        data.insert(QStringLiteral("text"), platform::plainText(out.text));
    QJsonObject o;
    o.insert(QStringLiteral("ok"), out.ok());
    o.insert(QStringLiteral("kind"),
             out.ok() ? QStringLiteral("ok") : failureKindName(out.failure->kind));
    o.insert(QStringLiteral("exit"), operations::exitStatusOf(out));
    QStringList message;
    if (out.failure)
        message.append(out.failure->brief.isEmpty() ? platform::plainText(out.failure->text)
                                                    : out.failure->brief);
    for (const QString& note : out.notes)
        message.append(platform::plainText(note));
    o.insert(QStringLiteral("message"), message.join(QLatin1Char('\n')));
    o.insert(QStringLiteral("data"), data);
    return o;
}

Agent::Agent(AgentConfig config, Session& session, mqtt::Client& broker, QObject* parent)
    : QObject(parent), config_(std::move(config)), session_(session), broker_(broker),
      topics_(config_.name) {
    connect(&broker_, &mqtt::Client::connected, this, &Agent::onConnected);
    connect(&broker_, &mqtt::Client::messageReceived, this, &Agent::onMessage);
    pollTimer_.setInterval(config_.pollPeriodS * 1000);
    connect(&pollTimer_, &QTimer::timeout, this, &Agent::pollDue);
    retryTimer_.setSingleShot(true);
    retryTimer_.setInterval(config_.retryPeriodS * 1000);
    connect(&retryTimer_, &QTimer::timeout, this, &Agent::pollDue);
}

QString Agent::configError() const {
    for (const QString& name : config_.allowed) {
        const operations::Operation* op = operations::find(name);
        if (!op)
            return QStringLiteral("в списке разрешённых операций нет такой: '%1'").arg(name);
    }
    for (const QString& name : readoutOperations + QStringList{versionOperation})
        if (!operations::find(name))
            return QStringLiteral("операция опроса '%1' не найдена").arg(name);
    return {};
}

void Agent::start() {
    broker_.subscribe(topics_.commands(), 1);
    broker_.start();
    pollTimer_.start();
    scheduleWork();
}

void Agent::stop() {
    if (running_) {
        stopWanted_ = true; // a command once begun goes whole, and its answer out
        return;
    }
    pollTimer_.stop();
    retryTimer_.stop();
    online_ = false;
    lastError_ = QStringLiteral("агент остановлен");
    publishStatus();
    broker_.stop();
    emit stopped();
}

QJsonObject Agent::statusJson() const {
    QJsonObject o;
    o.insert(QStringLiteral("online"), online_);
    o.insert(QStringLiteral("printer"), config_.name);
    o.insert(QStringLiteral("model"), session_.link.modelName);
    o.insert(QStringLiteral("version"), versionText_);
    o.insert(QStringLiteral("port"), config_.port);
    o.insert(QStringLiteral("last_error"), lastError_);
    o.insert(QStringLiteral("last_exchange"),
             lastExchange_.isValid() ? QJsonValue(lastExchange_.toUTC().toString(Qt::ISODateWithMs))
                                     : QJsonValue());
    return o;
}

void Agent::onConnected() {
    // A broker that restarted without keeping retained messages has lost ours.
    publishStatus();
    if (!readouts_.isEmpty())
        broker_.publish(topics_.readouts(), compact(readouts_), 1, true);
}

void Agent::onMessage(const QString& topic, const QByteArray& payload) {
    const QString operation = operationOfTopic(topics_.prefix, topic);
    if (operation.isEmpty())
        return;
    const CommandPayload body = parseCommandPayload(payload);
    if (body.id.isEmpty()) {
        refuseBody(topic, body.problem);
        return;
    }
    if (!body.problem.isEmpty()) {
        if (const auto known = queue_.answerOf(body.id)) {
            publishAnswer(body.id, *known);
            return;
        }
        const QByteArray answer = compact(failureJson(badInput(body.problem)));
        queue_.answer(body.id, answer);
        publishAnswer(body.id, answer);
        return;
    }
    switch (queue_.add({operation, body.id, body.args})) {
    case CommandQueue::Arrival::Queued:
        scheduleWork();
        break;
    case CommandQueue::Arrival::AlreadyAnswered:
        publishAnswer(body.id, *queue_.answerOf(body.id));
        break;
    case CommandQueue::Arrival::AlreadyWaiting:
        break; // its answer is on the way
    case CommandQueue::Arrival::Full:
        publishAnswer(body.id, compact(failureJson(refusal(QStringLiteral(
                                   "очередь команд агента полна, повторите позже")))));
        break;
    }
}

void Agent::refuseBody(const QString& topic, const QString& why) {
    QJsonObject o = failureJson(badInput(why));
    o.insert(QStringLiteral("topic"), topic);
    broker_.publish(topics_.errors(), compact(o), 1, false);
}

void Agent::publishAnswer(const QString& id, const QByteArray& body) {
    broker_.publish(topics_.result(id), body, 1, false);
    emit answered(id);
}

void Agent::publishStatus() {
    broker_.publish(topics_.status(), compact(statusJson()), 1, true);
}

void Agent::scheduleWork() {
    if (workScheduled_)
        return;
    workScheduled_ = true;
    QMetaObject::invokeMethod(this, &Agent::work, Qt::QueuedConnection);
}

void Agent::pollDue() {
    pollWanted_ = true;
    scheduleWork();
}

void Agent::work() {
    workScheduled_ = false;
    if (running_)
        return; // the piece under way schedules the next one when it ends
    running_ = true;
    // Someone waits for a command's answer; nobody waits for a read-out.
    if (auto command = queue_.take()) {
        const QByteArray answer = compact(execute(*command));
        queue_.answer(command->id, answer);
        publishAnswer(command->id, answer);
    } else if (!pollLeft_.isEmpty()) {
        pollStep();
    } else if (pollWanted_) {
        pollWanted_ = false;
        beginPoll();
    }
    running_ = false;
    if (stopWanted_) {
        stop();
        return;
    }
    if (pollWanted_ || !pollLeft_.isEmpty() || !queue_.isEmpty())
        scheduleWork();
}

QJsonObject Agent::execute(const QueuedCommand& command) {
    const operations::Operation* op = operations::find(command.operation);
    if (!op)
        return failureJson(
            badInput(QStringLiteral("неизвестная операция '%1'").arg(command.operation)));
    if (op->changesPrinter && !config_.allowed.contains(op->name))
        return failureJson(
            refusal(QStringLiteral("операция '%1' изменяет Маркиратор и не разрешена агенту '%2' "
                                   "(operations/allow в его настройках)")
                        .arg(op->name, config_.name)));
    FileArguments files(*op, config_.backupDir);
    const auto json = files.prepare(command.args);
    if (!json)
        return failureJson(json.failure());
    const auto args = operations::argumentsFromJson(*op, *json);
    if (!args)
        return failureJson(args.failure());
    if (op->needsPrinter)
        if (const auto ready = ensurePrinter(); !ready)
            return failureJson(ready.failure());
    const operations::Outcome out = operations::invoke(session_, *op, *args);
    if (op->needsPrinter)
        noteOutcome(out);
    QJsonObject answer = answerJson(out);
    if (out.ok())
        files.collect(answer);
    return answer;
}

Result<void> Agent::ensurePrinter() {
    if (session_.link.open && online_)
        return {};
    if (!session_.link.open) {
        if (auto opened = openPortByName(session_, config_.port, config_.baudRate); !opened) {
            printerLost(opened.failure().text);
            return opened.failure();
        }
    }
    const operations::Operation* version = operations::find(versionOperation);
    const operations::Outcome out = operations::invoke(session_, *version, {});
    if (!out.ok()) {
        printerLost(out.failure->text);
        return *out.failure;
    }
    versionText_ = out.json.value(QLatin1String("version")).toString(platform::plainText(out.text));
    online_ = true;
    lastError_.clear();
    lastExchange_ = QDateTime::currentDateTimeUtc();
    publishStatus();
    return {};
}

void Agent::noteOutcome(const operations::Outcome& out) {
    if (out.ok() || out.failure->kind != FailureKind::Link) {
        // The printer answered, even if it refused.
        lastExchange_ = QDateTime::currentDateTimeUtc();
        return;
    }
    printerLost(out.failure->text);
}

void Agent::printerLost(const QString& why) {
    const bool changed = online_ || lastError_ != platform::plainText(why);
    online_ = false;
    lastError_ = platform::plainText(why);
    // Opened afresh next time: a device that vanished must be found again.
    if (session_.link.open)
        closePort(session_);
    retryTimer_.start();
    if (changed)
        publishStatus();
}

void Agent::beginPoll() {
    if (!ensurePrinter())
        return;
    pollLeft_ = readoutOperations;
    pollReadouts_ = {};
}

void Agent::pollStep() {
    const QString name = pollLeft_.takeFirst();
    const operations::Operation* op = operations::find(name);
    const auto args = operations::argumentsFromJson(*op, {});
    operations::Outcome out;
    if (args)
        out = operations::invoke(session_, *op, *args);
    else
        out.failure = args.failure();
    noteOutcome(out);
    if (!online_) {
        pollLeft_.clear(); // the last good read-outs stay; the status says why
        return;
    }
    pollReadouts_.insert(name, out.ok() ? QJsonValue(answerJson(out).value(QLatin1String("data")))
                                        : QJsonValue(failureJson(*out.failure)));
    if (!pollLeft_.isEmpty())
        return;
    pollReadouts_.insert(QStringLiteral("time"), utcNow());
    readouts_ = std::exchange(pollReadouts_, {});
    broker_.publish(topics_.readouts(), compact(readouts_), 1, true);
    publishStatus();
    emit polled();
}

} // namespace agent
