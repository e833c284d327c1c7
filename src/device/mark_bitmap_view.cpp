// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/mark_bitmap_view.h"

#include "link/link_messages.h"
#include "link/operation_scope.h"
#include "link/requests.h"
#include "link/transfer_progress.h"
#include "logos/logo_document.h"
#include "logos/logo_file_commands.h"

using namespace platform;
using namespace printerlink;

namespace device {

namespace {

constexpr int kPollCycles = 1000;
constexpr int kSettleMs = 100;
constexpr qint64 kBufferSize = 8192;

// The header and the columns it announces, as far as the buffer holds them.
qint64 bitmapBytes(const MarkBitmapHeader& header) {
    return qMin(3 + qint64(header.width) * header.byteRows, kBufferSize);
}

void showSize(Session& s) {
    const QSize pending = s.logo->pendingSize();
    s.status.setField(
        GraphicField::Size,
        QStringLiteral("Размер XY: %1x%2").arg(pending.width()).arg(pending.height()));
}

} // namespace

std::optional<MarkBitmapHeader> markBitmapHeader(const QByteArray& reply) {
    if (reply.size() <= 2)
        return std::nullopt;
    const int width = qint16(quint8(reply.at(0)) | (quint8(reply.at(1)) << 8));
    const int byteRows = qint8(reply.at(2));
    // A header without columns or rows would give a logo the editor cannot show.
    if (width < 1 || byteRows < 1)
        return std::nullopt;
    return MarkBitmapHeader{qMin(width, logos::ZoomColumns), qMin(byteRows, 4)};
}

qint64 MarkBitmap::expectedBytes() const {
    return bitmapBytes(header);
}

QString markBitmapTitle() {
    return QStringLiteral("ПРОСМОТР БИТ-КАРТЫ МАРКИ ");
}

QString markBitmapIncompleteText(const MarkBitmap& bitmap) {
    return incompleteReplyText(bitmap.reply.bytes.size(), bitmap.expectedBytes());
}

Result<MarkBitmap> readMarkBitmap(Session& s) {
    OperationScope scope(s);
    setLamp(s, Lamp::Transfer, LampTarget::Graphic);
    s.link.error = false;
    const QByteArray request = markBitmapRequest();
    TransferProgress progress(s, request.size() + kBufferSize);
    if (!writeRequest(s, request) || pollSettled(s, kPollCycles, 1) == 0) {
        reportReadError(s, LampTarget::Both);
        return scope.failure();
    }
    // The bitmap is large; let the rest of it arrive.
    s.clock.waitMs(kSettleMs);
    // Whole once the columns the header announces are in; a zero width (no bitmap) or a
    // header the view cannot use needs nothing more.
    auto whole = [&](const QByteArray& got) {
        if (got.size() >= 2 && got.at(0) == 0 && got.at(1) == 0)
            return true;
        if (got.size() < 3)
            return false;
        const auto header = markBitmapHeader(got);
        if (header)
            progress.setTotal(request.size() + qMin(bitmapBytes(*header), kBufferSize));
        return !header || got.size() >= bitmapBytes(*header);
    };
    const auto reply = readReplyUntil(s, whole, kBufferSize, kBufferSize);
    if (!reply)
        return scope.failure();
    setLamp(s, Lamp::Idle, LampTarget::Graphic);
    const QByteArray bytes = reply->padded(kBufferSize);
    const auto header = markBitmapHeader(reply->bytes.size() > 2 ? bytes : QByteArray());
    if (!header) {
        Failure none = refusal(QStringLiteral("НЕТ БИТ-КАРТЫ МАРКИ (ПУСТАЯ)."));
        none.title = markBitmapTitle();
        none.icon = MessageIcon::Information;
        return none;
    }
    return MarkBitmap{*header, bytes.mid(3, qint64(header->width) * header->byteRows), *reply};
}

void viewMarkBitmap(Session& s) {
    if (!logos::offerSaveBeforeReplacing(s))
        return;
    const auto bitmap = readMarkBitmap(s);
    if (!bitmap) {
        showFailure(s.dialogs, bitmap.failure());
        if (bitmap.failure().kind == FailureKind::Refused)
            showSize(s);
        return;
    }
    s.logo->drawPackedLogo(bitmap->columns, bitmap->header.width, bitmap->header.byteRows);
    showSize(s);
    if (!bitmap->reply.complete)
        s.dialogs.messageBox(markBitmapTitle(), markBitmapIncompleteText(*bitmap),
                             MessageIcon::Warning, MessageButtons::Ok);
}

} // namespace device
