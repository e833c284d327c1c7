// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <cstdio>

namespace cli {

// The command line names a broker (--broker URL) instead of a port.
bool wantsBroker(const QStringList& arguments);

// inkwick-cli --broker URL [--printer NAME]... [--all] [broker options] OPERATION ARGS...:
// the operation is sent to each printer's agent and its answer printed, one JSON object per
// printer and line. The exit status is the worst of the answers; 1 when one never came.
int runBroker(const QStringList& arguments, std::FILE* out, std::FILE* err);

} // namespace cli
