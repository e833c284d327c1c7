// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <utility>

#ifndef INKWICK_PRINTER_SIM
#error "INKWICK_PRINTER_SIM must name the built printer-sim"
#endif

// The printer-sim tool as a child process: starts it, learns the device path it prints and
// stops it with SIGTERM so it removes its link and saves its memory.
class EmulatorProcess {
public:
    explicit EmulatorProcess(QStringList arguments = {}) : arguments_(std::move(arguments)) {
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    }
    ~EmulatorProcess() { stop(); }
    EmulatorProcess(const EmulatorProcess&) = delete;
    EmulatorProcess& operator=(const EmulatorProcess&) = delete;

    static QString program() { return QStringLiteral(INKWICK_PRINTER_SIM); }

    // False when the tool did not start or printed no device path in time.
    bool start(int timeoutMs = 5000) {
        process_.start(program(), arguments_);
        if (!process_.waitForStarted(timeoutMs))
            return false;
        while (!process_.canReadLine()) {
            if (!process_.waitForReadyRead(timeoutMs))
                return false;
        }
        device_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
        return !device_.isEmpty();
    }

    // The pseudo-terminal to open, e.g. /dev/pts/3.
    QString device() const { return device_; }

    // Exit code after a clean stop; -1 when the tool had to be killed or was not running.
    int stop(int timeoutMs = 5000) {
        if (process_.state() == QProcess::NotRunning)
            return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
        process_.terminate();
        if (!process_.waitForFinished(timeoutMs)) {
            process_.kill();
            process_.waitForFinished(timeoutMs);
            return -1;
        }
        return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
    }

    QProcess& process() { return process_; }

private:
    QStringList arguments_;
    QProcess process_;
    QString device_;
};
