// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/serial_port.h"

#include <memory>

class QSerialPort;

namespace platform {

// The printer line over QSerialPort, used without an event loop: every call polls the driver
// itself and every wait is bounded. After a hard error (device unplugged, pty closed) the port
// closes itself, so later calls report failure at once instead of spinning on a dead handle.
class QtSerialPort : public SerialPort {
public:
    // The most input Qt holds for us. The longest reply is 8 KB; between commands the event
    // loop would otherwise keep reading whatever a talkative device sends, without end. At
    // 115200 baud a full buffer takes longer than any reply is polled for, so a reply that never
    // ends is not mistaken for one that settled at this size.
    static constexpr qint64 kReadBufferBytes = 64 * 1024;

    QtSerialPort();
    ~QtSerialPort() override;

    bool open(const QString& device, int baudRate) override;
    OpenError lastOpenError() const override { return lastOpenError_; }
    bool isOpen() const override;
    int baudRate() const override { return baud_; }
    bool write(const QByteArray& bytes) override;
    qint64 inputWaiting() override;
    qint64 outputWaiting() override;
    QByteArray read(qint64 n) override;
    void discardInput() override;
    void close() override;

    // The system's own wording of the last failure, for diagnostics.
    QString lastErrorString() const { return lastErrorString_; }

private:
    void releaseLock();
    // Closes the port after any error other than "none" or "time-out"; false when it did.
    bool healthy();
    void pullInput();
    qint64 driverOutputQueue() const;

    std::unique_ptr<QSerialPort> port_;
    // POSIX: a descriptor of the device holding an advisory lock that every Inkwick process
    // takes, whatever name it opened the device by; -1 when none.
    int lockFd_ = -1;
    OpenError lastOpenError_ = OpenError::None;
    QString lastErrorString_;
    int baud_ = 115200;
};

} // namespace platform
