// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/system_port_catalogue.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <algorithm>
#include <climits>

namespace platform {

namespace {

const char* const kVirtualPort = "Виртуальный порт";

#ifdef Q_OS_WIN
QString storedSettings(const QString& portName) {
    QSettings ports(
        QStringLiteral(
            "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports"),
        QSettings::NativeFormat);
    const QString value = ports.value(portName + QLatin1Char(':')).toString().trimmed();
    return value.isEmpty() ? QStringLiteral("115200,n,8,1") : value;
}

int comNumber(const QString& name) {
    static const QRegularExpression com(QStringLiteral("^COM(\\d+)$"),
                                        QRegularExpression::CaseInsensitiveOption);
    const auto m = com.match(name);
    return m.hasMatch() ? m.captured(1).toInt() : INT_MAX;
}
#endif

QString describe(const QSerialPortInfo& info) {
    QString text = info.description().trimmed();
    if (text.isEmpty())
        text = info.manufacturer().trimmed();
    if (text.isEmpty())
        text = info.portName();
    return text;
}

} // namespace

bool isPhantomPort(const QSerialPortInfo& info) {
#ifdef Q_OS_LINUX
    if (!info.portName().startsWith(QLatin1String("ttyS")))
        return false;
    // serial_core publishes the UART type; 0 (PORT_UNKNOWN) means no hardware answered.
    QFile type(QStringLiteral("/sys/class/tty/") + info.portName() + QStringLiteral("/type"));
    if (!type.open(QIODevice::ReadOnly))
        return false;
    return type.readAll().trimmed() == "0";
#else
    Q_UNUSED(info);
    return false;
#endif
}

QList<PortEntry> namePorts(const QStringList& extraPaths,
                           const QList<QSerialPortInfo>& discovered) {
    QList<PortEntry> out;
    QSet<QString> seen;
    for (const QString& raw : extraPaths) {
        const QString path = raw.trimmed();
        if (path.isEmpty() || seen.contains(path))
            continue;
        seen.insert(path);
        // A symbolic link may point at a discovered device; list that device only once.
        const QString target = QFileInfo(path).canonicalFilePath();
        if (!target.isEmpty())
            seen.insert(target);
        out.append({{}, path, QString::fromUtf8(kVirtualPort), path});
    }

    QList<QSerialPortInfo> sorted = discovered;
#ifdef Q_OS_WIN
    std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
        const int na = comNumber(a.portName()), nb = comNumber(b.portName());
        return na != nb ? na < nb : a.portName() < b.portName();
    });
#else
    std::sort(sorted.begin(), sorted.end(),
              [](const auto& a, const auto& b) { return a.systemLocation() < b.systemLocation(); });
#endif
    for (const QSerialPortInfo& info : sorted) {
        const QString path = info.systemLocation();
        if (seen.contains(path))
            continue;
        seen.insert(path);
        out.append({info.portName(), path, describe(info), path});
    }

    for (qsizetype i = 0; i < out.size(); ++i) {
#ifdef Q_OS_WIN
        // Windows ports keep their own names and show the settings the system stored for them.
        PortEntry& e = out[i];
        if (e.name.isEmpty())
            e.name = QSerialPortInfo(e.device).portName();
        if (e.name.isEmpty())
            e.name = e.device;
        e.settings = storedSettings(e.name);
#else
        out[i].name = QStringLiteral("COM%1").arg(i + 1);
#endif
    }
    return out;
}

QList<PortEntry> SystemPortCatalogue::ports() {
    QList<QSerialPortInfo> found;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        if (!isPhantomPort(info))
            found.append(info);
    }
    const QString extra = qEnvironmentVariable("INKWICK_EXTRA_PORTS");
    QList<PortEntry> named =
        namePorts(extra_ + extra.split(QLatin1Char(':'), Qt::SkipEmptyParts), found);
#ifndef Q_OS_WIN
    QStringList keys;
    for (const PortEntry& e : std::as_const(named))
        keys << stableDeviceKey(e.device, QStringLiteral("/dev/serial/by-id"));
    numbers_.assign(named, keys);
    sortByNumber(named);
#endif
    return named;
}

} // namespace platform
