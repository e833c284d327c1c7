// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/request_exchange.h"
#include "link/result.h"

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

// The dot bitmap of the mark being printed: packed columns of `byteRows` bytes, as a logo.
struct MarkBitmap {
    MarkBitmapHeader header{0, 0};
    QByteArray columns;
    printerlink::Reply reply;
    // The header and the columns it announces.
    qint64 expectedBytes() const;
};

// Refused ("НЕТ БИТ-КАРТЫ МАРКИ (ПУСТАЯ).") when the printer holds none. A reply that stopped
// short gives the columns that came, zero-filled.
printerlink::Result<MarkBitmap> readMarkBitmap(printerlink::Session& s);
// Where a bitmap comes short: the window's warning under its title.
QString markBitmapIncompleteText(const MarkBitmap& bitmap);
QString markBitmapTitle();

// "ЧТЕНИЕ БИТ-КАРТЫ ТЕКУЩЕЙ МАРКИ": the bitmap of the mark being printed becomes the logo.
void viewMarkBitmap(printerlink::Session& s);

} // namespace device
