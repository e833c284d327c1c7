// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "service/series_operations.h"

#include <optional>

// Shared by the reading and the writing series.
namespace service {

// The title of the window's closing boxes.
inline const QString kSystemTitle = QStringLiteral("СООБЩЕНИЕ СИСТЕМЫ");

// The window's error box.
SeriesMessage errorMessage(const QString& text);

// The check stage of restore and compare: the whole folder, or nothing with `report` saying why
// (`what` leads its message: "Сравнение невозможно.").
std::optional<LoadedBackup> checkedBackup(const QString& folder, const QString& what,
                                          ServiceReport& report);

} // namespace service
