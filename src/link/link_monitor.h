// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/protocol_log.h"
#include "platform/clock.h"
#include "platform/serial_port.h"

#include <QLoggingCategory>
#include <functional>

Q_DECLARE_LOGGING_CATEGORY(lcLink)

namespace printerlink {

// Sits between the commands and the port: every byte written or read goes to the protocol log
// and the `inkwick.link` category, and the bytes that moved feed the progress of a transfer.
class LinkMonitor : public platform::SerialPort {
public:
    LinkMonitor(platform::SerialPort& inner, const platform::Clock& clock, ProtocolLog& log)
        : inner_(inner), clock_(clock), log_(log) {}

    // Called with the bytes moved since the meter was set: sent, read, and waiting to be read.
    using Meter = std::function<void(qint64 moved)>;
    void setMeter(Meter meter);

    bool open(const QString& device, int baudRate) override;
    OpenError lastOpenError() const override { return inner_.lastOpenError(); }
    bool isOpen() const override { return inner_.isOpen(); }
    int baudRate() const override { return inner_.baudRate(); }
    bool write(const QByteArray& bytes) override;
    qint64 inputWaiting() override;
    qint64 outputWaiting() override { return inner_.outputWaiting(); }
    QByteArray read(qint64 n) override;
    void discardInput() override;
    void close() override;

    // Logs the reply bytes still held back for a whole line.
    void flush();

private:
    void record(Direction direction, const QByteArray& bytes);
    void note(const QString& event);
    void measure();

    platform::SerialPort& inner_;
    const platform::Clock& clock_;
    ProtocolLog& log_;
    // Replies come in packets of a few bytes on a slow line: they are gathered into lines of
    // 16 bytes, stamped with the time of their first byte.
    QByteArray pending_;
    QDateTime pendingSince_;
    qint64 pendingAtMs_ = 0;
    Meter meter_;
    qint64 moved_ = 0;
    qint64 waiting_ = 0;
};

} // namespace printerlink
