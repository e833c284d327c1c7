// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/port_opening.h"

#include "link/request_exchange.h"
#include "platform/number_text.h"

#include <algorithm>

using namespace platform;

namespace printerlink {

namespace {

const QString kSystemTitle = QStringLiteral("СООБЩЕНИЕ СИСТЕМЫ");

void showPortField(Session& s, const QString& text) {
    s.status.setField(MarkField::Port, text);
    s.status.setField(GraphicField::Port, text);
}

void showOpeningFailed(Session& s) {
    showPortField(s, QStringLiteral("COM?"));
    setLamp(s, Lamp::Error);
}

// Opens the device of the session's link at its rate; the state the success leaves behind.
bool openDevice(Session& s) {
    s.link.error = false;
    if (!s.port.open(s.link.device, s.link.baudRate)) {
        s.link.open = false;
        s.link.error = true;
        return false;
    }
    s.link.open = true;
    return true;
}

} // namespace

QString portListLine(const PortEntry& port) {
    QString line = port.name + QStringLiteral(":\t") + port.settings + QLatin1Char('\t');
    if (line.size() < 22)
        line += QLatin1Char('\t');
    return line + port.friendlyName + QLatin1Char('\n');
}

QString portListText(const QList<PortEntry>& ports) {
    QString text;
    for (const PortEntry& p : ports)
        text += portListLine(p);
    return text;
}

PortChoice choosePort(const QString& answer, const QList<PortEntry>& ports) {
    PortChoice choice;
    const qint64 v = readDecimal(answer);
    if (v < 1 || v > 255)
        return choice;
    // The name is built from the text as typed, so "03" is not COM3.
    choice.portName = QStringLiteral("COM") + answer;
    choice.kind = PortChoice::Unavailable;
    for (qsizetype i = 0; i < ports.size(); ++i) {
        if (ports[i].name == choice.portName) {
            choice.kind = PortChoice::Open;
            choice.index = i;
            break;
        }
    }
    return choice;
}

QString portRefusedQuestion(const PortChoice& choice, const QString& answer) {
    if (choice.kind == PortChoice::Unavailable)
        return QStringLiteral("ПОРТ ") + choice.portName +
               QStringLiteral(" НЕДОСТУПЕН. ВЫБРАТЬ ДРУГОЙ ПОРТ?");
    return QStringLiteral("ПОРТ СОМ") + answer +
           QStringLiteral(" НЕ СУЩЕСТВУЕТ. ВЫБРАТЬ ДРУГОЙ ПОРТ?");
}

QString openFailureText(const QString& portName, SerialPort::OpenError error) {
    const QString head = QStringLiteral("COM-ПОРТ ") + portName;
    switch (error) {
    case SerialPort::OpenError::NotFound:
        return head + QStringLiteral(" НЕ ОБНАРУЖЕНЫ.\n\r") +
               QStringLiteral(
                   "Устройство отсутствует: адаптер отключён или порт удалён из системы.");
    case SerialPort::OpenError::Busy:
        return head + QStringLiteral(" ЗАНЯТ.\n\r") +
               QStringLiteral("Порт открыт другой программой. Закройте её и откройте порт снова.");
    case SerialPort::OpenError::NoPermission:
#ifdef Q_OS_LINUX
        return head + QStringLiteral(" НЕДОСТУПЕН.\n\r") +
               QStringLiteral("Нет прав на работу с портом. Добавьте пользователя в группу dialout "
                              "(sudo usermod -aG dialout $USER) и войдите в систему заново.");
#else
        return head + QStringLiteral(" НЕДОСТУПЕН.\n\r") +
               QStringLiteral("Нет прав на работу с портом.");
#endif
    case SerialPort::OpenError::None:
    case SerialPort::OpenError::Other:
        break;
    }
    return head + QStringLiteral(" НЕ ОТКРЫТ.\n\r") +
           QStringLiteral("Система не смогла открыть порт.");
}

QString defaultPortAnswer(const QList<PortEntry>& ports, const QString& lastDevice) {
    auto answerFor = [](const PortEntry& p) {
        return p.name.startsWith(QLatin1String("COM")) ? p.name.mid(3) : QStringLiteral("1");
    };
    if (!lastDevice.isEmpty()) {
        for (const PortEntry& p : ports) {
            if (p.device == lastDevice)
                return answerFor(p);
        }
    }
    // An adapter plugged in for the printer, rather than a port built into the computer.
    for (const PortEntry& p : ports) {
        if (p.device.startsWith(QLatin1String("/dev/ttyUSB")) ||
            p.device.startsWith(QLatin1String("/dev/ttyACM")))
            return answerFor(p);
    }
    return QStringLiteral("1");
}

namespace {

// `asked` is how the user named the port, for the failure message: a device path given at start
// is not to be called by a COM number the user never saw.
bool openChosenPort(Session& s, const QString& portName, const QString& device,
                    const QString& asked = {}) {
    // Only one connection at a time: a port still open goes first.
    if (s.port.isOpen())
        s.port.close();
    s.link.portName = portName;
    s.link.device = device;
    if (!openDevice(s)) {
        showOpeningFailed(s);
        s.dialogs.messageBox(
            kSystemTitle,
            openFailureText(asked.isEmpty() ? portName : asked, s.port.lastOpenError()),
            MessageIcon::Error, MessageButtons::Ok);
        return false;
    }
    showPortField(s, s.link.statusText());
    setLamp(s, Lamp::Idle);
    return true;
}

} // namespace

bool openPortNamed(Session& s, const QString& which) {
    const QList<PortEntry> ports = s.catalogue.ports();
    for (const PortEntry& p : ports) {
        if (p.name.compare(which, Qt::CaseInsensitive) == 0)
            return openChosenPort(s, p.name, p.device);
        if (p.device == which)
            return openChosenPort(s, p.name, p.device, which);
    }
    PortChoice missing;
    missing.kind = PortChoice::Unavailable;
    missing.portName = which;
    if (s.dialogs.askRetry(portRefusedQuestion(missing, which)))
        return openPortInteractive(s);
    s.link.error = true;
    return false;
}

bool openPortInteractive(Session& s) {
    const QList<PortEntry> ports = s.catalogue.ports();
    if (ports.isEmpty()) {
        showOpeningFailed(s);
        s.link.error = true;
        s.dialogs.messageBox(kSystemTitle, QStringLiteral("  ДОСТУПНЫЕ COM-ПОРТЫ НЕ ОБНАРУЖЕНЫ!  "),
                             MessageIcon::Error, MessageButtons::Ok);
        return false;
    }

    const QString list = portListText(ports);
    PortChoice choice;
    for (;;) {
        const QString answer =
            s.dialogs.portPromptDialog(QStringLiteral("Открыть СОМ-порт"), list,
                                       QStringLiteral("ВВЕДИТЕ НОМЕР COM-ПОРТА (1...255)"),
                                       defaultPortAnswer(ports, s.link.device));
        if (answer.isEmpty()) {
            s.link.error = true;
            return false;
        }
        choice = choosePort(answer, ports);
        if (choice.kind == PortChoice::Open)
            break;
        if (!s.dialogs.askRetry(portRefusedQuestion(choice, answer))) {
            s.link.error = true;
            return false;
        }
    }

    return openChosenPort(s, choice.portName, ports[choice.index].device);
}

Result<void> openPortByName(Session& s, const QString& name, int baud) {
    QString device = name;
    QString portName = name;
    if (!name.contains(QLatin1Char('/'))) {
        const QList<PortEntry> ports = s.catalogue.ports();
        const auto it = std::find_if(ports.begin(), ports.end(), [&](const PortEntry& p) {
            return p.name.compare(name, Qt::CaseInsensitive) == 0;
        });
        if (it == ports.end()) {
            s.link.error = true;
            return linkFailure(QStringLiteral("порта %1 нет").arg(name));
        }
        device = it->device;
        portName = it->name;
    }
    s.link.portName = portName;
    s.link.device = device;
    s.link.baudRate = baud;
    if (!openDevice(s))
        return linkFailure(openFailureText(portName, s.port.lastOpenError()));
    return {};
}

bool reopenPort(Session& s) {
    s.port.close();
    s.link.open = false;
    if (s.link.device.isEmpty()) {
        s.link.error = true;
        return false;
    }
    if (!openDevice(s)) {
        setLamp(s, Lamp::Error);
        return false;
    }
    setLamp(s, Lamp::Idle);
    return true;
}

void closePort(Session& s) {
    s.port.close();
    s.link.open = false;
    setLamp(s, Lamp::Grey);
    showPortField(s, QStringLiteral("COM?"));
}

} // namespace printerlink
