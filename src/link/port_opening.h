// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/result.h"
#include "link/session.h"

#include <QList>

namespace printerlink {

// Discovery, the port prompt and the opening. True when the port is open; false (link error set)
// after a cancel, a refused number, no ports or a failed open, each with its own message.
// Menu states are the caller's business.
bool openPortInteractive(Session& s);

// The port given at start (a COM name or a device path), opened without the prompt. One that is
// not found asks to choose another, as a typed number would.
bool openPortNamed(Session& s, const QString& which);

// The port a front names (a device path as given, COMn through the port list) opened at `baud`
// without any dialog: the command line's --port, the agent's configured port.
Result<void> openPortByName(Session& s, const QString& name, int baud);

// Closes and reopens the same device at session.link.baudRate without any dialog (baud change).
bool reopenPort(Session& s);

// Closes the port: lamps grey, "COM?" in both port fields.
void closePort(Session& s);

// --- the pure parts ---

// One line of the port list: "COM5:\t115200,n,8,1\t" (+ "\t" when shorter than 22) + friendly.
QString portListLine(const platform::PortEntry& port);
QString portListText(const QList<platform::PortEntry>& ports);

struct PortChoice {
    enum Kind { Open, Unavailable, DoesNotExist };
    Kind kind = DoesNotExist;
    QString portName;     // "COM" + the answer as typed, for Open and Unavailable
    qsizetype index = -1; // into the port list, for Open
};
// The port prompt's default: the port of `lastDevice` when it is there, else the first USB
// adapter, else "1".
QString defaultPortAnswer(const QList<platform::PortEntry>& ports, const QString& lastDevice);
// What a typed answer to the port prompt means.
PortChoice choosePort(const QString& answer, const QList<platform::PortEntry>& ports);
// The "choose another port?" question for a refused answer.
QString portRefusedQuestion(const PortChoice& choice, const QString& answer);

// Why the device could not be opened, in the user's words.
QString openFailureText(const QString& portName, platform::SerialPort::OpenError error);

} // namespace printerlink
