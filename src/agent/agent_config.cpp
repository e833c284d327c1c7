// SPDX-License-Identifier: GPL-3.0-or-later
#include "agent/agent_config.h"

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>

namespace agent {

namespace {

struct Key {
    const char* option; // on the command line
    const char* file;   // in the config file
    const char* valueName;
    const char* help;
};

// One table for both: an option and its config-file key mean the same setting.
constexpr Key keys[] = {
    {"port", "port", "device", "Serial device of the printer, e.g. /dev/ttyUSB0."},
    {"baud", "baud", "rate", "Line rate (default 115200)."},
    {"name", "name", "name", "The printer's name in the topics inkwick/<name>/..."},
    {"poll-period", "poll_period", "seconds", "Read-outs are published this often (default 60)."},
    {"retry-period", "retry_period", "seconds",
     "A printer that does not answer is tried again this often (default 10)."},
    {"broker", "broker/url", "url", "mqtt://host[:port] or mqtts://host[:port]."},
    {"username", "broker/username", "user", "User name at the broker."},
    {"password-file", "broker/password_file", "file", "File whose first line is the password."},
    {"ca-file", "broker/ca_file", "file", "mqtts: certificate authority of the broker."},
    {"cert-file", "broker/cert_file", "file", "mqtts: client certificate (optional)."},
    {"key-file", "broker/key_file", "file", "mqtts: the client certificate's key."},
    {"mqtt-version", "broker/protocol", "version", "MQTT 3.1.1 (311, default) or 5."},
    {"client-id", "broker/client_id", "id", "Client id at the broker (default inkwick-<name>)."},
    {"allow", "operations/allow", "names",
     "Operations that write into the printer, allowed by name (comma-separated)."},
    {"backup-dir", "operations/backup_dir", "dir", "Folder backups are written into."},
};

QString joined(const QVariant& v) {
    return v.typeId() == QMetaType::QStringList ? v.toStringList().join(QLatin1Char(','))
                                                : v.toString();
}

std::optional<int> number(const QString& text, int low, int high) {
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    if (!ok || n < low || n > high)
        return std::nullopt;
    return n;
}

} // namespace

std::optional<mqtt::ClientOptions> brokerOptions(const mqtt::BrokerUrl& url,
                                                 const QHash<QString, QString>& v, QString* error) {
    mqtt::ClientOptions o;
    o.broker = url;
    o.username = v.value(QStringLiteral("username"));
    if (const QString file = v.value(QStringLiteral("password-file")); !file.isEmpty()) {
        QFile f(file);
        if (!QFileInfo(file).isFile() || !f.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("файл пароля '%1' не читается").arg(file);
            return std::nullopt;
        }
        o.password =
            QString::fromUtf8(f.readLine(4096)).remove(QLatin1Char('\n')).remove(QLatin1Char('\r'));
    }
    o.caFile = v.value(QStringLiteral("ca-file"));
    o.certFile = v.value(QStringLiteral("cert-file"));
    o.keyFile = v.value(QStringLiteral("key-file"));
    if (const QString version = v.value(QStringLiteral("mqtt-version")); !version.isEmpty()) {
        if (version == QLatin1String("5")) {
            o.protocol = 5;
        } else if (version == QLatin1String("311") || version == QLatin1String("3.1.1")) {
            o.protocol = 4;
        } else {
            *error = QStringLiteral("версия MQTT (--mqtt-version) - 311 или 5");
            return std::nullopt;
        }
    }
    return o;
}

bool isTopicName(const QString& name) {
    static const QRegularExpression re(QStringLiteral("^[A-Za-z0-9._-]{1,64}$"));
    return re.match(name).hasMatch();
}

std::optional<AgentConfig> agentConfig(const QStringList& arguments, QString* error,
                                       QString* help) {
    QCommandLineParser p;
    p.setApplicationDescription(
        QStringLiteral("Publishes one K307/K309 printer on an MQTT broker and runs the commands "
                       "sent to it."));
    const QCommandLineOption helpOption = p.addHelpOption();
    p.addOption({QStringLiteral("config"), QStringLiteral("INI file with the settings below."),
                 QStringLiteral("file")});
    for (const Key& k : keys)
        p.addOption({QString::fromLatin1(k.option), QString::fromLatin1(k.help),
                     QString::fromLatin1(k.valueName)});
    if (!p.parse(arguments)) {
        *error = p.errorText();
        return std::nullopt;
    }
    if (p.isSet(helpOption)) {
        *help = p.helpText();
        return std::nullopt;
    }
    if (!p.positionalArguments().isEmpty()) {
        *error = QStringLiteral("лишние аргументы: %1").arg(p.positionalArguments().join(' '));
        return std::nullopt;
    }

    QHash<QString, QString> v;
    if (p.isSet(QStringLiteral("config"))) {
        const QString file = p.value(QStringLiteral("config"));
        if (!QFileInfo(file).isFile() || !QFileInfo(file).isReadable()) {
            *error = QStringLiteral("файл настроек '%1' не читается").arg(file);
            return std::nullopt;
        }
        QSettings ini(file, QSettings::IniFormat);
        if (ini.status() != QSettings::NoError) {
            *error = QStringLiteral("файл настроек '%1' испорчен").arg(file);
            return std::nullopt;
        }
        for (const Key& k : keys) {
            const QString key = QString::fromLatin1(k.file);
            if (ini.contains(key))
                v.insert(QString::fromLatin1(k.option), joined(ini.value(key)).trimmed());
        }
    }
    for (const Key& k : keys)
        if (p.isSet(QString::fromLatin1(k.option)))
            v.insert(QString::fromLatin1(k.option), p.value(QString::fromLatin1(k.option)));

    const auto bad = [&](const QString& why) {
        *error = why;
        return std::nullopt;
    };
    AgentConfig c;
    c.port = v.value(QStringLiteral("port"));
    if (c.port.isEmpty())
        return bad(QStringLiteral("не задан порт Маркиратора (--port)"));
    c.name = v.value(QStringLiteral("name"));
    if (!isTopicName(c.name))
        return bad(QStringLiteral("имя Маркиратора (--name) - от 1 до 64 латинских букв, цифр, "
                                  "'-', '_', '.': '%1'")
                       .arg(c.name));
    if (v.contains(QStringLiteral("baud"))) {
        const auto b = number(v.value(QStringLiteral("baud")), 1200, 921600);
        if (!b)
            return bad(QStringLiteral("скорость (--baud) - от 1200 до 921600"));
        c.baudRate = *b;
    }
    if (v.contains(QStringLiteral("poll-period"))) {
        const auto s = number(v.value(QStringLiteral("poll-period")), 1, 86400);
        if (!s)
            return bad(QStringLiteral("период опроса (--poll-period) - от 1 до 86400 секунд"));
        c.pollPeriodS = *s;
    }
    if (v.contains(QStringLiteral("retry-period"))) {
        const auto s = number(v.value(QStringLiteral("retry-period")), 1, 3600);
        if (!s)
            return bad(QStringLiteral("период повтора (--retry-period) - от 1 до 3600 секунд"));
        c.retryPeriodS = *s;
    }

    const QString url = v.value(QStringLiteral("broker"));
    if (url.isEmpty())
        return bad(QStringLiteral("не задан брокер (--broker mqtt://узел)"));
    QString why;
    const auto broker = mqtt::parseBrokerUrl(url, &why);
    if (!broker)
        return bad(why);
    const auto options = brokerOptions(*broker, v, error);
    if (!options)
        return std::nullopt;
    c.broker = *options;
    c.broker.clientId = v.value(QStringLiteral("client-id"), QStringLiteral("inkwick-") + c.name);
    for (const QString& name : v.value(QStringLiteral("allow")).split(QLatin1Char(',')))
        if (!name.trimmed().isEmpty())
            c.allowed.append(name.trimmed());
    c.backupDir = v.value(QStringLiteral("backup-dir"));
    return c;
}

} // namespace agent
