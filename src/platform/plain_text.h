// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace platform {

// A message or read-out as plain lines, for a terminal or a file: the line ends of the message
// boxes ("\n\r", "\r\n") become "\n" and stray carriage returns go.
QString plainText(const QString& text);

} // namespace platform
