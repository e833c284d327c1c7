// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt_serial_port.h"

#include "platform/line_time.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QSerialPort>
#include <QSerialPortInfo>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace platform {

namespace {

#ifdef Q_OS_WIN
// The driver's own queues; zeros when the handle does not answer.
COMSTAT driverQueues(const QSerialPort& port) {
    DWORD errors = 0;
    COMSTAT stat{};
    if (!ClearCommError(reinterpret_cast<HANDLE>(port.handle()), &errors, &stat))
        return COMSTAT{};
    return stat;
}
#else
// The device path for a name: a path is kept, a bare name (ttyUSB0) is looked up in /dev. Qt
// reads "dir/tty" as a name under /dev (serial/by-id/...); where the current folder has it (a
// simulator's link, build/sim-port) it is that path instead.
QString systemLocation(const QString& device) {
    if (device.startsWith(QLatin1Char('/')))
        return device;
    if (device.contains(QLatin1Char('/')) && QFileInfo::exists(device))
        return QFileInfo(device).absoluteFilePath();
    const QString location = QSerialPortInfo(device).systemLocation();
    return location.isEmpty() ? QStringLiteral("/dev/") + device : location;
}

// Qt reports a lock held by another program and a refused open() alike as PermissionError.
// access() tells them apart: when we may read and write the device, someone else holds it.
SerialPort::OpenError permissionOrBusy(const QString& device) {
    const QByteArray path = systemLocation(device).toLocal8Bit();
    if (::access(path.constData(), R_OK | W_OK) != 0)
        return errno == ENOENT ? SerialPort::OpenError::NotFound
                               : SerialPort::OpenError::NoPermission;
    return SerialPort::OpenError::Busy;
}

// Qt's lock file is named after the name used (a /dev/serial/by-id link and the real path are
// two names) and root passes the kernel's exclusive open; an advisory lock on the device
// itself holds against both. Its own descriptor: closing a QSerialPort that failed the lock
// would lift the exclusive mode of the program that holds the port. -1 with `busy` when
// another Inkwick holds it, -1 without when the device did not open here (Qt then tells why).
int lockDevice(const QString& device, bool* busy) {
    *busy = false;
    const QByteArray path = systemLocation(device).toLocal8Bit();
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        *busy = errno == EWOULDBLOCK;
        ::close(fd);
        return -1;
    }
    return fd;
}
#endif

} // namespace

QtSerialPort::QtSerialPort() = default;

QtSerialPort::~QtSerialPort() {
    close();
}

bool QtSerialPort::isOpen() const {
    return port_ && port_->isOpen();
}

bool QtSerialPort::open(const QString& device, int baudRate) {
    close();
    lastOpenError_ = OpenError::None;
    lastErrorString_.clear();
    baud_ = baudRate;

    port_ = std::make_unique<QSerialPort>();
#ifdef Q_OS_WIN
    port_->setPortName(device);
#else
    port_->setPortName(systemLocation(device));
#endif
    // Applied before open so that the port starts out in the right state.
    port_->setBaudRate(baudRate);
    port_->setDataBits(QSerialPort::Data8);
    port_->setParity(QSerialPort::NoParity);
    port_->setStopBits(QSerialPort::OneStop);
    port_->setFlowControl(QSerialPort::NoFlowControl);
    // Once full, Qt stops reading and the driver drops or holds back the rest; the next request
    // discards what is left as stale.
    port_->setReadBufferSize(kReadBufferBytes);

#ifndef Q_OS_WIN
    bool busy = false;
    lockFd_ = lockDevice(device, &busy);
    if (busy) {
        lastOpenError_ = OpenError::Busy;
        lastErrorString_ = QStringLiteral("locked by another Inkwick process");
        port_.reset();
        return false;
    }
#endif
    // QSerialPort opens exclusively on every platform (a lock file plus TIOCEXCL on POSIX, a
    // share mode of 0 on Windows).
    if (!port_->open(QIODevice::ReadWrite)) {
        lastErrorString_ = port_->errorString();
        switch (port_->error()) {
        case QSerialPort::DeviceNotFoundError:
            lastOpenError_ = OpenError::NotFound;
            break;
        case QSerialPort::PermissionError:
#ifdef Q_OS_WIN
            // Windows answers "access denied" when another program has the port.
            lastOpenError_ = OpenError::Busy;
#else
            lastOpenError_ = permissionOrBusy(device);
#endif
            break;
        default:
            lastOpenError_ = OpenError::Other;
            break;
        }
        close();
        return false;
    }

    // RTS is held off, not used for handshake. Pseudo-terminals have no modem lines and refuse
    // this; a line-state failure after a good open does not count against the port.
    port_->setRequestToSend(false);
    // 6.4 does not purge on open: whatever the line held before belongs to nobody.
    port_->clear(QSerialPort::AllDirections);
    port_->clearError();
    return true;
}

bool QtSerialPort::healthy() {
    if (!port_ || !port_->isOpen())
        return false;
    const auto error = port_->error();
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError) {
        port_->clearError();
        return true;
    }
    // A vanished device keeps isOpen() true and makes every wait return at once: close it so
    // the caller sees a dead port instead of an endless stream of empty polls.
    lastErrorString_ = port_->errorString();
    port_->close();
    releaseLock();
    return false;
}

bool QtSerialPort::write(const QByteArray& bytes) {
    if (!healthy())
        return false;
    if (bytes.isEmpty())
        return true;
    if (port_->write(bytes) != bytes.size()) {
        healthy();
        return false;
    }
    // write() only queues; without an event loop nothing leaves until we wait for it.
    const qint64 limitMs = lineTimeMs(bytes.size(), baud_) + 1000;
    QElapsedTimer timer;
    timer.start();
    while (port_->bytesToWrite() > 0) {
        const qint64 left = limitMs - timer.elapsed();
        if (left <= 0)
            break;
        port_->waitForBytesWritten(int(left));
        if (!healthy())
            return false;
    }
    if (port_->bytesToWrite() > 0) {
        // A stalled line: drop what is still queued so it cannot trail into the next request.
        port_->clear(QSerialPort::Output);
        port_->clearError();
        return false;
    }
    return true;
}

void QtSerialPort::pullInput() {
    // bytesAvailable() only counts Qt's buffer; this moves what the driver holds into it. With
    // nothing there it sets TimeoutError, which is not a fault.
    port_->waitForReadyRead(0);
#ifdef Q_OS_WIN
    // Qt reads once WaitCommEvent reports a character. Where that wait ends in failure (Wine on
    // a pseudo-terminal, which has no modem lines), reading stops and the bytes stay in the
    // driver, counted by nobody. Setting the buffer size starts a read again without taking any.
    if (driverQueues(*port_).cbInQue > 0) {
        port_->setReadBufferSize(kReadBufferBytes);
        port_->waitForReadyRead(0);
    }
#endif
}

qint64 QtSerialPort::inputWaiting() {
    if (!healthy())
        return 0;
    pullInput();
    if (!healthy())
        return 0;
    return port_->bytesAvailable();
}

qint64 QtSerialPort::driverOutputQueue() const {
#ifdef Q_OS_WIN
    return qint64(driverQueues(*port_).cbOutQue);
#else
    int queued = 0;
    if (::ioctl(port_->handle(), TIOCOUTQ, &queued) != 0)
        return 0;
    return queued;
#endif
}

qint64 QtSerialPort::outputWaiting() {
    if (!healthy())
        return 0;
    if (port_->bytesToWrite() > 0) {
        port_->waitForBytesWritten(0);
        if (!healthy())
            return 0;
    }
    return port_->bytesToWrite() + driverOutputQueue();
}

QByteArray QtSerialPort::read(qint64 n) {
    if (n <= 0 || !healthy())
        return {};
    if (port_->bytesAvailable() < n) {
        pullInput();
        if (!healthy())
            return {};
    }
    return port_->read(n);
}

void QtSerialPort::discardInput() {
    if (!healthy())
        return;
    pullInput();
    if (!healthy())
        return;
    // Qt's buffer and the driver's queue alike.
    port_->clear(QSerialPort::Input);
    port_->clearError();
}

void QtSerialPort::close() {
    if (port_ && port_->isOpen())
        port_->close();
    port_.reset();
    releaseLock();
}

void QtSerialPort::releaseLock() {
#ifndef Q_OS_WIN
    if (lockFd_ >= 0)
        ::close(lockFd_);
    lockFd_ = -1;
#endif
}

} // namespace platform
