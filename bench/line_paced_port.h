// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/line_time.h"
#include "platform/serial_port.h"

#include <QElapsedTimer>
#include <QList>
#include <QPair>

// A pseudo-terminal takes every byte at once; a UART sends them at the line rate and its
// output queue stays full meanwhile. This holds what the host writes and hands it to the
// pseudo-terminal as a UART would have sent it, and outputWaiting() counts what it holds, so
// the host waits for its blocks as long as on a real line and the printer gets them as late.
// Bytes move whenever the host looks at the port, which it does while it waits for the queue.
class LinePacedPort : public platform::SerialPort {
public:
    explicit LinePacedPort(platform::SerialPort& inner) : inner_(inner) { clock_.start(); }

    bool open(const QString& device, int baudRate) override {
        queue_.clear();
        busyUntilNs_ = 0;
        return inner_.open(device, baudRate);
    }
    OpenError lastOpenError() const override { return inner_.lastOpenError(); }
    bool isOpen() const override { return inner_.isOpen(); }
    int baudRate() const override { return inner_.baudRate(); }
    bool write(const QByteArray& bytes) override {
        if (!pump() || !inner_.isOpen())
            return false;
        const qint64 start = qMax(clock_.nsecsElapsed(), busyUntilNs_);
        queue_.append({start, bytes});
        busyUntilNs_ = start + bytes.size() * byteNs();
        return pump();
    }
    qint64 inputWaiting() override {
        pump();
        return inner_.inputWaiting();
    }
    qint64 outputWaiting() override {
        if (!pump())
            return 0;
        qint64 n = inner_.outputWaiting();
        for (const auto& q : queue_)
            n += q.second.size();
        return n;
    }
    QByteArray read(qint64 n) override {
        pump();
        return inner_.read(n);
    }
    void discardInput() override {
        pump();
        inner_.discardInput();
    }
    void close() override {
        queue_.clear();
        inner_.close();
    }

private:
    qint64 byteNs() const { return platform::lineTimeUs(1000, inner_.baudRate()); }

    // Hands over the bytes whose time has come; false when the port refused them.
    bool pump() {
        const qint64 now = clock_.nsecsElapsed();
        while (!queue_.isEmpty()) {
            auto& [start, bytes] = queue_.first();
            const qint64 due = qMin<qint64>(bytes.size(), (now - start) / byteNs());
            if (due <= 0)
                break;
            if (!inner_.write(bytes.left(due)))
                return false;
            if (due < bytes.size()) {
                start += due * byteNs();
                bytes.remove(0, due);
                break;
            }
            queue_.removeFirst();
        }
        return true;
    }

    platform::SerialPort& inner_;
    QElapsedTimer clock_;
    QList<QPair<qint64, QByteArray>> queue_; // when the first byte starts, the bytes
    qint64 busyUntilNs_ = 0;
};
