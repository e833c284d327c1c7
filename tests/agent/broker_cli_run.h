// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/cli_broker.h"

#include <QString>
#include <QStringList>
#include <cstdio>
#include <cstdlib>

// `inkwick-cli --broker ...` in this process: its stdout as text, its exit status in `status`.
inline QString runBrokerCli(const QStringList& args, int* status) {
    char* buffer = nullptr;
    size_t size = 0;
    std::FILE* out = open_memstream(&buffer, &size);
    *status = cli::runBroker(args, out, stderr);
    std::fclose(out);
    const QString text = QString::fromUtf8(buffer, qsizetype(size));
    std::free(buffer);
    return text;
}
