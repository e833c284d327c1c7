// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/serial_port.h"
#include "sim/printer.h"
#include "sim/reply_pacing.h"
#include "virtual_clock.h"

#include <QStringList>

#include <functional>

// A serial port wired to a simulated printer in virtual time: bytes leave the host and reach
// the host at the line's byte rate (10 bits per byte) as the virtual clock advances. The printer
// model takes written bytes at once (its state shows what was sent) but times its replies from
// each request's arrival on the line.
class SimulatedPort : public platform::SerialPort {
public:
    SimulatedPort(sim::Printer& printer, VirtualClock& clock);

    // Devices that exist; empty = every name opens.
    QStringList devices;
    // Forces the next openings to fail with this reason.
    OpenError failOpen = OpenError::None;
    // Every device name opened, with its rate, e.g. "/dev/ttyS0@115200".
    QStringList openings;
    // Bytes the host has read, over all openings.
    qint64 bytesRead = 0;
    // The host's bytes reach the printer at once, as on a pseudo-terminal (replies keep the
    // line's pace).
    bool instantOutput = false;
    // >= 0: the device disappears once this many printer bytes have reached the host and the
    // next one is due, part-way into a reply.
    qint64 vanishAfterReplyBytes = -1;
    // When the first and the last byte of each write reached the printer, in microseconds.
    QList<QPair<qint64, qint64>> arrivals;
    // Called with every write the host makes, before it leaves: a test's moment "while the
    // program talks to the printer".
    std::function<void(const QByteArray&)> onWrite;

    bool open(const QString& device, int baudRate) override;
    OpenError lastOpenError() const override { return lastError_; }
    bool isOpen() const override { return open_; }
    int baudRate() const override { return baud_; }
    bool write(const QByteArray& bytes) override;
    qint64 inputWaiting() override;
    qint64 outputWaiting() override;
    QByteArray read(qint64 n) override;
    void discardInput() override;
    void close() override;

    // Makes the device disappear now (USB unplugged).
    void vanish();

private:
    void deliver();
    void scheduleReplies(qint64 requestEndUs);
    qint64 byteTimeUs() const;

    sim::Printer& printer_;
    VirtualClock& clock_;
    bool open_ = false;
    bool vanished_ = false;
    int baud_ = 115200;
    OpenError lastError_ = OpenError::None;
    qint64 writtenBytes_ = 0;
    qint64 arrivedBytes_ = 0;
    qint64 outputBusyUntilUs_ = 0;              // when the last written byte has left the host
    QList<QPair<qint64, QByteArray>> outgoing_; // output queue: start time, bytes on the line
    QList<sim::TimedByte> incoming_;            // printer bytes reaching the host
    QByteArray input_;                          // arrived, not yet read
    qint64 printerFreeUs_ = 0;                  // when the printer's transmitter is free
    qint64 growingNextUs_ = -1;                 // next byte of a reply that never ends
    qint64 lastArrivalUs_ = -1;                 // when the printer got the last host byte
};
