// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/clock.h"
#include "platform/port_catalogue.h"
#include "platform/serial_port.h"

#include <QStringList>
#include <cstdio>
#include <functional>

namespace cli {

// Differs: `compare` found the printer other than the backup. Interrupted: a series (backup,
// restore, compare, write-parts) stopped by Ctrl+C between two items (128 + SIGINT, as a shell
// reports it).
enum ExitCode {
    Success = 0,
    PrinterFailure = 1,
    UsageError = 2,
    FileError = 3,
    Differs = 4,
    Interrupted = 130
};

// The seams a run talks through; main() passes the real ones, tests their own.
struct CliSeams {
    platform::SerialPort& port;
    platform::Clock& clock;
    platform::PortCatalogue& catalogue;
    std::FILE* out = stdout; // data and JSON
    std::FILE* err = stderr; // messages, questions, progress
    // Whether the user asked to stop (Ctrl+C): a series stops before its next item.
    std::function<bool()> interrupted = {};
};

// Runs one command line (without the program name) and returns the exit status.
int runCli(const QStringList& arguments, CliSeams seams);

} // namespace cli
