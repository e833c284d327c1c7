// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace app {

// Name, version and organisation, for Qt's settings, dialogs and --version. Called before
// anything reads them.
void setApplicationIdentity();

struct CommandLine {
    // --port: a COM name or a device path to open at start without the prompt.
    QString port;
    // --help, --version or a mistake: print `output` (to stderr when exitCode is not 0) and exit.
    bool exitNow = false;
    int exitCode = 0;
    QString output;
};

// `arguments` as QCoreApplication::arguments() gives them, the program first.
CommandLine parseCommandLine(const QStringList& arguments);

} // namespace app
