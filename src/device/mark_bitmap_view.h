// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/session.h"

#include <QByteArray>
#include <optional>

namespace device {

struct MarkBitmapHeader {
    int width;    // columns, at most 819 (the zoom image's width)
    int byteRows; // bytes per column, at most 4 (32 dots)
};

// The header of a mark bitmap reply, with its limits applied. Nothing when the printer holds no
// bitmap: a reply of 2 bytes or fewer, or a width or byte-row count below 1.
std::optional<MarkBitmapHeader> markBitmapHeader(const QByteArray& reply);

} // namespace device

// "ЧТЕНИЕ БИТ-КАРТЫ ТЕКУЩЕЙ МАРКИ": the bitmap of the mark being printed becomes the logo.
void viewMarkBitmap(printerlink::Session& s);
