// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace printerlink {

QString readErrorText(const QString& portName);
QString writeErrorText(const QString& portName);

// Said with what a short reply did bring: how much of it came. `needed` 0 is a version reply,
// which has no length and is whole once it ends in its date.
QString incompleteReplyText(qint64 received, qint64 needed);

} // namespace printerlink
