// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli_broker.h"
#include "cli/console_text.h"

#include "agent/agent_config.h"
#include "agent/agent_topics.h"
#include "mqtt/mqtt_client.h"
#include "operations/registry.h"
#include "platform/file_access.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QMap>
#include <QSet>
#include <QTimer>
#include <QUuid>

namespace cli {

namespace {

struct BrokerRun {
    QString url;
    QStringList printers;
    bool all = false;
    int timeoutS = 120;
    QHash<QString, QString> brokerValues;
    QString operation;
    QStringList words;
};

const QStringList valueOptions = {
    QStringLiteral("username"),  QStringLiteral("password-file"), QStringLiteral("ca-file"),
    QStringLiteral("cert-file"), QStringLiteral("key-file"),      QStringLiteral("mqtt-version"),
};

void say(std::FILE* f, const QString& text) {
    writeText(f, text + QLatin1Char('\n'));
}

// The options before the operation's name; everything after it belongs to the operation.
std::optional<BrokerRun> parse(const QStringList& args, QString* error) {
    BrokerRun r;
    int k = 0;
    const auto value = [&](const QString& option) -> std::optional<QString> {
        if (k + 1 >= args.size()) {
            *error = QStringLiteral("%1: нужно значение").arg(option);
            return std::nullopt;
        }
        return args[++k];
    };
    for (; k < args.size(); ++k) {
        const QString a = args[k];
        if (!a.startsWith(QLatin1String("--")))
            break;
        const QString name = a.mid(2);
        if (name == QLatin1String("all")) {
            r.all = true;
        } else if (name == QLatin1String("broker") || name == QLatin1String("printer") ||
                   name == QLatin1String("timeout") || valueOptions.contains(name)) {
            const auto v = value(a);
            if (!v)
                return std::nullopt;
            if (name == QLatin1String("broker"))
                r.url = *v;
            else if (name == QLatin1String("printer"))
                r.printers.append(*v);
            else if (name == QLatin1String("timeout"))
                r.timeoutS = v->toInt();
            else
                r.brokerValues.insert(name, *v);
        } else {
            *error = QStringLiteral("неизвестный параметр %1").arg(a);
            return std::nullopt;
        }
    }
    if (k >= args.size()) {
        *error = QStringLiteral("не задана операция");
        return std::nullopt;
    }
    r.operation = args[k];
    r.words = args.mid(k + 1);
    if (r.all == !r.printers.isEmpty()) {
        *error = QStringLiteral("нужно --printer ИМЯ или --all");
        return std::nullopt;
    }
    for (const QString& p : r.printers)
        if (!agent::isTopicName(p)) {
            *error = QStringLiteral("недопустимое имя Маркиратора '%1'").arg(p);
            return std::nullopt;
        }
    if (r.timeoutS < 1 || r.timeoutS > 86400) {
        *error = QStringLiteral("--timeout - от 1 до 86400 секунд");
        return std::nullopt;
    }
    return r;
}

// A file of the command line travels in the command: its contents when the operation reads it,
// its name only when the operation writes it (it comes back in the answer).
bool readsFile(const operations::Operation& op) {
    return op.changesPrinter || !op.needsPrinter;
}

struct Sent {
    QString printer;
    QString id;
    QJsonObject answer;
    bool answered = false;
};

} // namespace

bool wantsBroker(const QStringList& arguments) {
    for (const QString& a : arguments) {
        if (a == QLatin1String("--broker"))
            return true;
        if (!a.startsWith(QLatin1String("--")))
            break;
    }
    return false;
}

int runBroker(const QStringList& arguments, std::FILE* out, std::FILE* err) {
    QString error;
    const auto run = parse(arguments, &error);
    if (!run) {
        say(err, QStringLiteral("inkwick-cli: ") + error);
        return 2;
    }
    const operations::Operation* op = operations::find(run->operation);
    if (!op) {
        say(err, QStringLiteral("inkwick-cli: неизвестная операция '%1'").arg(run->operation));
        return 2;
    }
    const auto checked = operations::argumentsFromCommandLine(*op, run->words);
    if (!checked) {
        say(err, QStringLiteral("inkwick-cli: ") + checked.failure().text);
        return 2;
    }
    QJsonObject args = QJsonObject::fromVariantMap(checked->values());
    QMap<QString, QString> writes; // argument -> local path the answer's file goes to
    for (const operations::Argument& a : op->arguments) {
        if (a.type != operations::ArgType::File || !checked->has(a.name))
            continue;
        const QString path = checked->text(a.name);
        const QString name = QFileInfo(path).fileName();
        if (readsFile(*op)) {
            QFile f(path);
            if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly)) {
                say(err, QStringLiteral("Файл '%1' открыть невозможно!").arg(path));
                return 3;
            }
            args.insert(a.name, QJsonObject{{QStringLiteral("name"), name},
                                            {QStringLiteral("base64"),
                                             QString::fromLatin1(f.readAll().toBase64())}});
        } else {
            args.insert(a.name, QJsonObject{{QStringLiteral("name"), name}});
            writes.insert(a.name, path);
        }
    }

    const auto url = mqtt::parseBrokerUrl(run->url, &error);
    if (!url) {
        say(err, QStringLiteral("inkwick-cli: ") + error);
        return 2;
    }
    auto options = agent::brokerOptions(*url, run->brokerValues, &error);
    if (!options) {
        say(err, QStringLiteral("inkwick-cli: ") + error);
        return 2;
    }
    const QString runId = QUuid::createUuid().toString(QUuid::Id128).left(12);
    options->clientId = QStringLiteral("inkwick-cli-") + runId;
    options->firstRetryMs = 200;
    options->lastRetryMs = 2000;
    mqtt::Client client(*options);
    if (!client.setupError().isEmpty()) {
        say(err, QStringLiteral("inkwick-cli: ") + client.setupError());
        return 2;
    }

    QEventLoop loop;
    const QDeadlineTimer deadline(qint64(run->timeoutS) * 1000);
    QTimer deadlineTimer;
    deadlineTimer.setSingleShot(true);
    QObject::connect(&deadlineTimer, &QTimer::timeout, &loop, &QEventLoop::quit);
    deadlineTimer.start(int(qMin<qint64>(deadline.remainingTime(), INT_MAX)));

    // --all: the printers whose retained status says online. The broker sends the retained
    // statuses before a message we publish after subscribing, so our own message coming back
    // means every status is in.
    QMap<QString, bool> online;
    const QString syncTopic = QStringLiteral("inkwick-cli/%1/sync").arg(runId);
    bool synced = !run->all;
    QList<Sent> sent;
    QHash<QString, int> byTopic;
    QString lastBrokerError;

    const auto sendAll = [&] {
        for (const Sent& s : sent)
            if (!s.answered)
                client.publish(agent::Topics(s.printer).command(op->name),
                               QJsonDocument(QJsonObject{{QStringLiteral("id"), s.id},
                                                         {QStringLiteral("args"), args}})
                                   .toJson(QJsonDocument::Compact),
                               1, false);
    };
    const auto begin = [&](const QStringList& printers) {
        for (const QString& p : printers) {
            byTopic.insert(agent::Topics(p).result(runId), int(sent.size()));
            sent.append({p, runId, {}, false});
        }
        sendAll();
        if (sent.isEmpty())
            loop.quit();
    };
    const auto allAnswered = [&] {
        return std::all_of(sent.begin(), sent.end(), [](const Sent& s) { return s.answered; });
    };

    // A broker that never answers is not waited for as long as a slow command.
    bool everConnected = false;
    QTimer connectTimer;
    connectTimer.setSingleShot(true);
    QObject::connect(&connectTimer, &QTimer::timeout, [&] {
        if (!everConnected)
            loop.quit();
    });
    connectTimer.start(qMin(10000, run->timeoutS * 1000));
    QObject::connect(&client, &mqtt::Client::connected, [&] {
        everConnected = true;
        if (!synced) {
            client.publish(syncTopic, runId.toLatin1(), 1, false);
        } else if (sent.isEmpty()) {
            begin(run->printers);
        } else {
            sendAll(); // after a lost connection: the agents answer a known id from memory
        }
    });
    QObject::connect(&client, &mqtt::Client::disconnected,
                     [&](const QString& why) { lastBrokerError = why; });
    QObject::connect(&client, &mqtt::Client::messageReceived,
                     [&](const QString& topic, const QByteArray& payload) {
                         if (topic == syncTopic && !synced) {
                             synced = true;
                             QStringList names;
                             QStringList away;
                             for (auto it = online.begin(); it != online.end(); ++it)
                                 (it.value() ? names : away).append(it.key());
                             // The shift script is told which printers it did not reach.
                             if (!away.isEmpty())
                                 say(err, QStringLiteral("inkwick-cli: не на связи: ") +
                                              away.join(QStringLiteral(", ")));
                             if (names.isEmpty())
                                 say(err, QStringLiteral("inkwick-cli: на брокере нет "
                                                         "Маркираторов на связи"));
                             begin(names);
                             return;
                         }
                         if (!synced && topic.endsWith(QLatin1String("/status"))) {
                             const QString name = topic.section(QLatin1Char('/'), 1, 1);
                             online.insert(name, QJsonDocument::fromJson(payload)
                                                     .object()
                                                     .value(QLatin1String("online"))
                                                     .toBool());
                             return;
                         }
                         const auto it = byTopic.constFind(topic);
                         if (it == byTopic.constEnd() || sent[*it].answered)
                             return;
                         sent[*it].answered = true;
                         sent[*it].answer = QJsonDocument::fromJson(payload).object();
                         if (allAnswered())
                             loop.quit();
                     });
    // One id for the whole run: an agent remembers ids per printer, and one subscription then
    // catches every answer.
    client.subscribe(QStringLiteral("inkwick/+/result/") + runId, 1);
    if (run->all) {
        client.subscribe(QStringLiteral("inkwick/+/status"), 1);
        client.subscribe(syncTopic, 1);
    }
    // A command lost with a restarting broker is sent again; an agent that has it runs it once.
    QTimer resend;
    resend.setInterval(10000);
    QObject::connect(&resend, &QTimer::timeout, [&] {
        if (client.isConnected())
            sendAll();
    });
    resend.start();
    client.start();
    loop.exec();
    // The last acknowledgements leave before the goodbye.
    client.stop();

    if (!synced || (sent.isEmpty() && !run->all)) {
        say(err, QStringLiteral("inkwick-cli: брокер %1 недоступен%2")
                     .arg(url->display(), lastBrokerError.isEmpty()
                                              ? QString()
                                              : QStringLiteral(": ") + lastBrokerError));
        return 1;
    }
    if (sent.isEmpty())
        return 1;
    int status = 0;
    for (Sent& s : sent) {
        QJsonObject line{{QStringLiteral("printer"), s.printer}};
        if (!s.answered) {
            s.answer = QJsonObject{{QStringLiteral("ok"), false},
                                   {QStringLiteral("kind"), QStringLiteral("link")},
                                   {QStringLiteral("exit"), 1},
                                   {QStringLiteral("message"),
                                    QStringLiteral("нет ответа агента за %1 с").arg(run->timeoutS)},
                                   {QStringLiteral("data"), QJsonObject()}};
        }
        for (auto it = s.answer.begin(); it != s.answer.end(); ++it)
            line.insert(it.key(), it.value());
        // A file the operation wrote comes back as its bytes.
        const QJsonObject data = s.answer.value(QLatin1String("data")).toObject();
        for (auto w = writes.begin(); w != writes.end(); ++w) {
            const QJsonObject file = data.value(w.key()).toObject();
            if (file.isEmpty())
                continue;
            const QString path =
                sent.size() == 1 ? w.value() : w.value() + QLatin1Char('.') + s.printer;
            const QByteArray bytes =
                QByteArray::fromBase64(file.value(QLatin1String("base64")).toString().toLatin1());
            if (QString why; !platform::saveFileAtomically(path, bytes, &why)) {
                say(err, QStringLiteral("Файл '%1' записать невозможно: %2").arg(path, why));
                status = qMax(status, 3);
            }
        }
        status = qMax(status, s.answer.value(QLatin1String("exit")).toInt(1));
        std::fprintf(out, "%s\n", QJsonDocument(line).toJson(QJsonDocument::Compact).constData());
    }
    return status;
}

} // namespace cli
