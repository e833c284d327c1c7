// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "marks/mark_model.h"

#include <QByteArray>
#include <optional>

namespace marks {

// The .mrt mark file: 32 lines ended by CR LF, each the fragment number, the function code
// byte, the two font digits and the text, in Windows-1251.

// The caller has checked that every text is encodable (checkTexts).
QByteArray encodeMarkFile(const MarkRows& rows);

// How a file's fonts 14 and 15 are taken: opened by the user they become font 02 (shown
// " #02"); a backup's files give back the printer's own fonts.
enum class FileFonts { ReplaceAbove13, Keep };

// The rows a file turns `current` into: lines replace rows in order, an empty line or the end
// ends the file early and leaves the rest. Nothing when a line's fragment number is bad.
std::optional<MarkRows> decodeMarkFile(const QByteArray& bytes, const MarkRows& current,
                                       FileFonts fonts = FileFonts::ReplaceAbove13);

// The 32 lines of a new mark: every fragment a running number in font 02, no text.
QByteArray newMarkFileBytes();

// "Марка: " and the name, the last 60 characters of a longer one after " ... ".
QString markStatusText(const QString& name, bool shorten);

} // namespace marks
