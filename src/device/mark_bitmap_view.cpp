#include "device/mark_bitmap_view.h"

#include "link/request_exchange.h"
#include "logos/logo_document.h"
#include "logos/logo_file_commands.h"

using namespace platform;
using namespace printerlink;

namespace device {

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

} // namespace device

namespace {

constexpr int kPollCycles = 1000;
constexpr int kSettleMs = 100;
constexpr qint64 kBufferSize = 8192;

void showSize(Session& s) {
    const QSize pending = s.logo->pendingSize();
    s.status.setField(
        GraphicField::Size,
        QStringLiteral("Размер XY: %1x%2").arg(pending.width()).arg(pending.height()));
}

} // namespace

void viewMarkBitmap(Session& s) {
    if (!logos::offerSaveBeforeReplacing(s))
        return;
    setLamp(s, Lamp::Transfer, LampTarget::Graphic);
    s.link.error = false;
    if (!writeRequest(s, QByteArrayLiteral("\x0F"
                                           "b\x0E")) ||
        pollSettled(s, kPollCycles, 1) == 0) {
        reportReadError(s, LampTarget::Both);
        return;
    }
    // The bitmap is large; let the rest of it arrive.
    s.clock.waitMs(kSettleMs);
    const qint64 waiting = s.port.inputWaiting();
    QByteArray reply = s.port.read(qMin(waiting, kBufferSize));
    const auto header = device::markBitmapHeader(waiting > 2 ? reply : QByteArray());
    if (header) {
        // A large bitmap may still be on its way in packets: wait for the columns it announces.
        const qint64 needed = qMin(3 + qint64(header->width) * header->byteRows, kBufferSize);
        if (reply.size() < needed)
            reply += readRemainder(s, needed - reply.size());
        reply += QByteArray(kBufferSize - reply.size(), '\0');
    }
    if (!header) {
        setLamp(s, Lamp::Idle, LampTarget::Graphic);
        s.dialogs.messageBox(QStringLiteral("ПРОСМОТР БИТ-КАРТЫ МАРКИ "),
                             QStringLiteral("НЕТ БИТ-КАРТЫ МАРКИ (ПУСТАЯ)."),
                             MessageIcon::Information, MessageButtons::Ok);
    } else {
        s.logo->drawPackedLogo(reply.mid(3, qint64(header->width) * header->byteRows),
                               header->width, header->byteRows);
    }
    setLamp(s, Lamp::Idle, LampTarget::Graphic);
    showSize(s);
}
