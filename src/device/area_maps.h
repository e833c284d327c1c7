// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/session.h"

#include <QByteArray>
#include <optional>

namespace device {

// "Проверка Области Текстовых Марок" and "Проверка Графической Области". The lamp is left as it
// was when the exchange succeeds.
void showTextMarkAreaMap(printerlink::Session& s);
void showGraphicAreaMap(printerlink::Session& s);

// The occupancy replies ('Y' = occupied, one byte per place from mark 01 or slot 000) in a
// zero-filled 256-byte buffer; nothing after a failure (already reported).
std::optional<QByteArray> fetchTextMarkMap(printerlink::Session& s);
std::optional<QByteArray> fetchGraphicMap(printerlink::Session& s);

} // namespace device
