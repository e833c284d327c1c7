// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "mqtt/mqtt_client.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

namespace agent {

// What one agent runs with: its printer's port, the broker, its name in the topics.
struct AgentConfig {
    QString port;
    int baudRate = 115200;
    QString name;
    int pollPeriodS = 60;
    // A printer that does not answer is tried again this often.
    int retryPeriodS = 10;
    mqtt::ClientOptions broker;
    // Operations that write into the printer, allowed by name; reading is always allowed, and
    // folders (backups) only inside backupDir.
    QStringList allowed;
    // Where backups go: folders made on the agent's machine, never paths given by a command.
    QString backupDir;
};

// The command line, over the config file it names (--config): options win over the file.
// Nothing, with the reason in *error, for a bad option, file or value. *help is set for --help.
std::optional<AgentConfig> agentConfig(const QStringList& arguments, QString* error, QString* help);

// The broker settings shared by the agent and the command line, from option values by option
// name: username, password-file, ca-file, cert-file, key-file, mqtt-version.
std::optional<mqtt::ClientOptions>
brokerOptions(const mqtt::BrokerUrl& url, const QHash<QString, QString>& values, QString* error);

// A printer's name as it stands in a topic: letters, digits, '-', '_' and '.', 1 to 64.
bool isTopicName(const QString& name);

} // namespace agent
