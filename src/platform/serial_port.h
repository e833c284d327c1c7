// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// The one serial line to the printer. Implementations never block without a limit.
class SerialPort {
public:
    enum class OpenError { None, NotFound, Busy, NoPermission, Other };

    virtual ~SerialPort() = default;

    // Opens the device exclusively at the given rate, 8N1, no flow control, queues purged.
    virtual bool open(const QString& device, int baudRate) = 0;
    virtual OpenError lastOpenError() const = 0;
    virtual bool isOpen() const = 0;
    virtual int baudRate() const = 0;
    // All or nothing: true only when every byte was handed to the driver.
    virtual bool write(const QByteArray& bytes) = 0;
    // Bytes waiting in the input queue; 0 when closed or failed.
    virtual qint64 inputWaiting() = 0;
    // Bytes not yet sent from the output queue; 0 when closed or failed.
    virtual qint64 outputWaiting() = 0;
    // Up to n bytes from the input queue.
    virtual QByteArray read(qint64 n) = 0;
    virtual void discardInput() = 0;
    virtual void close() = 0;
};

} // namespace platform
