// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "test_rig.h"

#include <QTest>

// A port between the session and the simulated port that notes when each write left and what
// each input count was, for the tests that care about timing.
class TimedPort : public platform::SerialPort {
public:
    TimedPort(platform::SerialPort& inner, VirtualClock& clock) : inner_(inner), clock_(clock) {}

    struct Write {
        qint64 atUs;
        QByteArray bytes;
    };
    QList<Write> writes;
    QList<qint64> counts;

    bool open(const QString& device, int baudRate) override {
        return inner_.open(device, baudRate);
    }
    OpenError lastOpenError() const override { return inner_.lastOpenError(); }
    bool isOpen() const override { return inner_.isOpen(); }
    int baudRate() const override { return inner_.baudRate(); }
    bool write(const QByteArray& bytes) override {
        writes.append({clock_.nowUs(), bytes});
        return inner_.write(bytes);
    }
    qint64 inputWaiting() override {
        counts.append(inner_.inputWaiting());
        return counts.last();
    }
    qint64 outputWaiting() override { return inner_.outputWaiting(); }
    QByteArray read(qint64 n) override { return inner_.read(n); }
    void discardInput() override { inner_.discardInput(); }
    void close() override { inner_.close(); }

private:
    platform::SerialPort& inner_;
    VirtualClock& clock_;
};

// The test rig with the timed port in the session's place.
struct LinkRig : TestRig {
    TimedPort timed{port, clock};
    printerlink::Session s{timed, clock, dialogs, catalogue, status};

    LinkRig() { s.workDir = session.workDir; }
    void connect(const QString& model = QStringLiteral("K309"), int baud = 115200) {
        session.link.baudRate = baud;
        TestRig::connect(model);
        s.link = session.link;
    }
    // Puts bytes in the host's input queue the way a late answer would: a request the printer
    // answers, left unread.
    void leaveLateAnswer() {
        port.write(QByteArrayLiteral("\x11S\x0E"));
        clock.waitMs(20);
        QVERIFY(port.inputWaiting() > 0);
    }
    // The texts of the message boxes shown, in order.
    QStringList messageTexts() const {
        QStringList out;
        for (const auto& m : dialogs.messages())
            out.append(m.text);
        return out;
    }
};

inline QByteArray hex(const char* text) {
    return QByteArray::fromHex(text);
}
