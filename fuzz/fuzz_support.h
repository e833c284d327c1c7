// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the fuzz targets share: a Qt application for the picture code, and a session whose port
// answers every request with the fuzz input, so a decoder that only a command reaches gets
// exactly the reply bytes the fuzzer chose.

#include "link/session.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QGuiApplication>
#include <QStringList>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

namespace fuzz {

inline QByteArray bytes(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// One offscreen application for the whole run; pictures and undo stacks need it.
inline void initQt() {
    static int argc = 1;
    static char name[] = "inkwick-fuzz";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(argc, argv);
}

// Every write is a new request: the input then holds the whole reply at once.
class ReplyPort : public platform::SerialPort {
public:
    QByteArray reply;

    bool open(const QString&, int baud) override {
        open_ = true;
        baud_ = baud;
        return true;
    }
    OpenError lastOpenError() const override { return OpenError::None; }
    bool isOpen() const override { return open_; }
    int baudRate() const override { return baud_; }
    bool write(const QByteArray&) override {
        input_ = reply;
        return open_;
    }
    qint64 inputWaiting() override { return open_ ? input_.size() : 0; }
    qint64 outputWaiting() override { return 0; }
    QByteArray read(qint64 n) override {
        const QByteArray out = input_.left(n);
        input_.remove(0, out.size());
        return out;
    }
    void discardInput() override { input_.clear(); }
    void close() override { open_ = false; }

private:
    QByteArray input_;
    bool open_ = false;
    int baud_ = 115200;
};

class InstantClock : public platform::Clock {
public:
    void waitMs(int ms) override { us_ += 1000 * qint64(qMax(ms, 0)); }
    void waitUs(int us) override { us_ += qMax(us, 0); }
    QDateTime now() const override {
        return QDateTime(QDate(2026, 2, 3), QTime(9, 5, 7)).addMSecs(elapsedMs());
    }
    qint64 elapsedMs() const override { return us_ / 1000; }

private:
    qint64 us_ = 0;
};

// Text answers come from a queue (then cancel); questions are answered No, so no command loops.
class AnsweringDialogs : public platform::Dialogs {
public:
    QStringList answers;
    int shown = 0;

    platform::MessageAnswer messageBox(const QString&, const QString&, platform::MessageIcon,
                                       platform::MessageButtons buttons) override {
        ++shown;
        return buttons == platform::MessageButtons::Ok ? platform::MessageAnswer::Ok
                                                       : platform::MessageAnswer::No;
    }
    QString inputRequester(const QString&, const QString&, const QString&) override {
        return next();
    }
    QString promptDialog(const QString&, const QString&, const QString&) override { return next(); }
    QString portPromptDialog(const QString&, const QString&, const QString&,
                             const QString&) override {
        return next();
    }
    QString openFile(const QString&, const QString&, const QString&) override { return next(); }
    QString saveFile(const QString&, const QString&, const QString&, OverwriteCheck) override {
        return next();
    }

private:
    QString next() {
        ++shown;
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
};

class NullStatusView : public platform::StatusView {
public:
    void setLamp(platform::LampTarget, platform::Lamp) override {}
    void setField(platform::MarkField, const QString&) override {}
    void setField(platform::GraphicField, const QString&) override {}
};

class NoPorts : public platform::PortCatalogue {
public:
    QList<platform::PortEntry> ports() override { return {}; }
};

// A connected session in a temporary working directory, fresh for every input.
struct ReplySession {
    ReplyPort port;
    InstantClock clock;
    AnsweringDialogs dialogs;
    NullStatusView status;
    NoPorts catalogue;
    printerlink::Session session{port, clock, dialogs, catalogue, status};

    explicit ReplySession(const QByteArray& reply) {
        // In memory where the system offers it: the disk would set the pace, not the code.
        static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                     ? QStringLiteral("/dev/shm/inkwick-fuzz-XXXXXX")
                                     : QDir::tempPath() + QStringLiteral("/inkwick-fuzz-XXXXXX"));
        port.reply = reply;
        port.open(QStringLiteral("/dev/null"), session.link.baudRate);
        session.link.open = true;
        session.link.portName = QStringLiteral("COM1");
        session.workDir = QDir(dir.path());
    }

    // Puts a file into the working directory for a command to open.
    bool putFile(const QString& name, const QByteArray& content) {
        QFile f(session.workDir.filePath(name));
        return f.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
               f.write(content) == content.size();
    }
};

} // namespace fuzz
