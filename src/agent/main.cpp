// SPDX-License-Identifier: GPL-3.0-or-later
// inkwick-agent: owns one printer's port and puts the printer on the plant's MQTT broker.
#include "agent/agent.h"
#include "agent/quiet_seams.h"
#include "platform/qt_serial_port.h"
#include "platform/real_clock.h"
#include "platform/system_port_catalogue.h"

#include <QCoreApplication>
#include <QDir>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

// SIGTERM (systemd stop) and Ctrl+C end the agent through the event loop, so it can say
// goodbye to the broker.
extern "C" void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("inkwick-agent"));

    QString error;
    QString help;
    const auto config = agent::agentConfig(QCoreApplication::arguments(), &error, &help);
    if (!config) {
        if (!help.isEmpty()) {
            std::fputs(help.toLocal8Bit().constData(), stdout);
            return 0;
        }
        std::fprintf(stderr, "inkwick-agent: %s\n", error.toLocal8Bit().constData());
        return 2;
    }

    platform::QtSerialPort port;
    platform::RealClock clock;
    platform::SystemPortCatalogue catalogue;
    agent::QuietDialogs dialogs;
    agent::QuietStatus status;
    printerlink::Session session(port, clock, dialogs, catalogue, status);
    session.workDir = QDir(config->backupDir.isEmpty() ? QDir::tempPath() : config->backupDir);

    mqtt::ClientOptions options = config->broker;
    options.willTopic = agent::Topics(config->name).status();
    options.willPayload = QByteArrayLiteral("{\"online\":false}");
    mqtt::Client broker(options);
    if (!broker.setupError().isEmpty()) {
        std::fprintf(stderr, "inkwick-agent: %s\n", broker.setupError().toLocal8Bit().constData());
        return 2;
    }
    agent::Agent agent(*config, session, broker);
    if (const QString why = agent.configError(); !why.isEmpty()) {
        std::fprintf(stderr, "inkwick-agent: %s\n", why.toLocal8Bit().constData());
        return 2;
    }
    QObject::connect(&broker, &mqtt::Client::connected, [&] {
        std::fprintf(stderr, "inkwick-agent: %s: connected to %s\n",
                     config->name.toLocal8Bit().constData(),
                     config->broker.broker.display().toLocal8Bit().constData());
    });
    QObject::connect(&broker, &mqtt::Client::disconnected, [&](const QString& why) {
        std::fprintf(stderr, "inkwick-agent: %s: broker: %s\n",
                     config->name.toLocal8Bit().constData(), why.toLocal8Bit().constData());
    });

    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        std::perror("inkwick-agent: pipe");
        return 1;
    }
    QSocketNotifier stopNotifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&stopNotifier, &QSocketNotifier::activated, [&] {
        char bytes[16];
        while (::read(signalPipe[0], bytes, sizeof bytes) > 0) {
        }
        stopNotifier.setEnabled(false);
        agent.stop();
    });
    QObject::connect(&agent, &agent::Agent::stopped, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    std::signal(SIGTERM, onSignal);
    std::signal(SIGINT, onSignal);
    std::signal(SIGPIPE, SIG_IGN);

    agent.start();
    return QCoreApplication::exec();
}
