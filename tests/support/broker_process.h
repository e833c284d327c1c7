// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <pwd.h>
#include <unistd.h>

// A mosquitto of the test's own on a free loopback port, anonymous, keeping nothing on disk.
// The extra configuration follows the listener line, so TLS settings there apply to it.
// Stopped (and its folder removed) when the object goes; restart() keeps the port.
class BrokerProcess {
public:
    explicit BrokerProcess(QString extraConfig = {}) : extra_(std::move(extraConfig)) {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        port_ = probe.serverPort();
        probe.close();
        process_.setProcessChannelMode(QProcess::MergedChannels);
    }
    ~BrokerProcess() { stop(); }
    BrokerProcess(const BrokerProcess&) = delete;
    BrokerProcess& operator=(const BrokerProcess&) = delete;

    // Debian keeps the broker in /usr/sbin, which a user's PATH often lacks.
    static QString program() {
        const QString inPath = QStandardPaths::findExecutable(QStringLiteral("mosquitto"));
        if (!inPath.isEmpty())
            return inPath;
        return QStandardPaths::findExecutable(
            QStringLiteral("mosquitto"),
            {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/local/sbin")});
    }

    int port() const { return port_; }
    QString url() const { return QStringLiteral("mqtt://127.0.0.1:%1").arg(port_); }
    // For a listener the extra configuration gives certificates.
    QString tlsUrl() const { return QStringLiteral("mqtts://127.0.0.1:%1").arg(port_); }
    QString folder() const { return dir_.path(); }

    // False when mosquitto did not come up within the time.
    bool start(int timeoutMs = 5000) {
        const QString conf = QDir(dir_.path()).filePath(QStringLiteral("mosquitto.conf"));
        QFile f(conf);
        if (!f.open(QIODevice::WriteOnly))
            return false;
        // Started as root, mosquitto would drop to its own user, who cannot read our folder.
        const passwd* me = ::getpwuid(::geteuid());
        f.write(QStringLiteral("listener %1 127.0.0.1\npersistence false\nuser %2\n")
                    .arg(port_)
                    .arg(QString::fromLocal8Bit(me ? me->pw_name : "root"))
                    .toUtf8());
        f.write(extra_.isEmpty() ? QByteArray("allow_anonymous true\n") : extra_.toUtf8());
        f.close();
        process_.start(program(), {QStringLiteral("-c"), conf});
        if (!process_.waitForStarted(timeoutMs))
            return false;
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < timeoutMs) {
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, quint16(port_));
            if (probe.waitForConnected(200))
                return true;
            if (process_.state() == QProcess::NotRunning)
                return false;
            QThread::msleep(20);
        }
        return false;
    }

    QString config() const {
        QFile f(QDir(dir_.path()).filePath(QStringLiteral("mosquitto.conf")));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    void stop() {
        if (process_.state() == QProcess::NotRunning)
            return;
        process_.terminate();
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }

    bool restart() {
        stop();
        return start();
    }

    QString output() { return QString::fromLocal8Bit(process_.readAll()); }
    void waitForOutput() { process_.waitForReadyRead(500); }

private:
    QString extra_;
    QTemporaryDir dir_;
    QProcess process_;
    int port_ = 0;
};
