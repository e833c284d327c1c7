#pragma once

#include <QString>

namespace platform {

// A number typed into a prompt: leading blanks skipped, reading stops at the first non-digit,
// no digits read as 0. A leading minus is taken so that "-1" is out of range rather than 0.
qint64 readDecimal(const QString& text);

} // namespace platform
