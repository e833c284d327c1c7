// SPDX-License-Identifier: GPL-3.0-or-later
#include "logos/logo_transfer.h"

#include "link/link_messages.h"
#include "link/operation_scope.h"
#include "link/request_exchange.h"
#include "link/requests.h"
#include "link/transfer_progress.h"
#include "logos/logo_document.h"
#include "logos/logo_file_commands.h"
#include "logos/picture_files.h"
#include "logos/picture_split.h"
#include "platform/number_prompt.h"
#include "platform/number_text.h"

#include <optional>

using namespace platform;
using namespace printerlink;

namespace logos {

namespace {

constexpr int kReadPollCycles = 200;
constexpr int kAfterWriteMs = 200;

const QString kWriteTitle = QStringLiteral("Запись Логотипа в Маркиратор");
const QString kDeleteTitle = QStringLiteral("Удаление Логотипа Маркиратора");
const QString kSlotPrompt = QStringLiteral("Введите номер Логотипа (0..127)");
const QString kSlotRetry = QStringLiteral("Недопустимый номер Логотипа. Повторить?");

// Asks for a slot number until it is within 0..last; nothing when the user cancels or declines
// to repeat. The whole answer counts, so 1000 is out of range rather than slot 100.
std::optional<int> askSlot(Session& s, const QString& title, const QString& prompt, int last,
                           const QString& retry) {
    NumberPrompt ask(title, prompt, 0, last);
    ask.repeatQuestion = retry;
    const NumberAnswer a = askNumber(s.dialogs, ask);
    if (!a)
        return std::nullopt;
    return int(a.value);
}

QString slotDigits(int slot) {
    return QStringLiteral("%1").arg(slot, 3, 10, QLatin1Char('0'));
}

void discardInput(Session& s) {
    s.port.read(s.port.inputWaiting());
}

// Header, a pause, then the 256-byte block; the printer's answer is read and ignored.
bool sendSlotBlock(Session& s, const QByteArray& header, const QByteArray& block) {
    TransferProgress progress(s, header.size() + block.size());
    if (!writeRequest(s, header)) {
        reportWriteError(s);
        return false;
    }
    s.clock.waitMs(1);
    const bool sent = sendBlock(s, block);
    s.clock.waitMs(kAfterWriteMs);
    discardInput(s);
    if (!sent) {
        reportWriteError(s);
        return false;
    }
    setLamp(s, Lamp::Idle, LampTarget::Graphic);
    return true;
}

QString dataErrorTitle(const QString& digits) {
    return QStringLiteral("Logo#") + digits + QStringLiteral(" Data Error");
}

Failure slotRefusal(const QString& title, const QString& text, MessageIcon icon) {
    Failure f = refusal(text);
    f.title = title;
    f.icon = icon;
    return f;
}

std::optional<Failure> slotNumberRefusal(int slot, int last) {
    if (slot < 0 || slot > last)
        return badInput(QStringLiteral("Номер логотипа - от 0 до %1.").arg(last));
    return std::nullopt;
}

} // namespace

std::optional<SlotRead> fetchLogoSlot(Session& s, int slot) {
    s.link.error = false;
    const QByteArray request = logoSlotRequest(slot);
    TransferProgress progress(s, request.size() + 1 + SlotBlockBytes);
    if (!writeRequest(s, request)) {
        reportReadError(s);
        return std::nullopt;
    }
    SlotRead out;
    out.slot = slot;
    // A slot answers with a leading byte and its 256 stored ones.
    const qint64 length = pollSettled(s, kReadPollCycles, 1, 1 + SlotBlockBytes);
    if (length == 0) {
        // Only silence is an empty slot: bytes that never settle are a broken reply.
        if (!s.port.isOpen() || s.port.inputWaiting() > 0) {
            reportReadError(s);
            return std::nullopt;
        }
        // An empty slot does not answer at all.
        setLamp(s, Lamp::Idle, LampTarget::Graphic);
        out.state = SlotRead::Empty;
        return out;
    }
    setLamp(s, Lamp::Transfer, LampTarget::Graphic);
    QByteArray reply = s.port.read(length);
    if (reply.size() < length) {
        reportReadError(s);
        return std::nullopt;
    }
    setLamp(s, Lamp::Idle, LampTarget::Graphic);
    if (length == 1) {
        out.state = SlotRead::OneByte;
        return out;
    }
    if (reply.size() < 3)
        reply.append(QByteArray(3 - reply.size(), '\0'));
    out.width = quint8(reply.at(1));
    out.byteRows = quint8(reply.at(2));
    if (out.width == 0 || out.width > 254) {
        out.state = SlotRead::BadWidth;
        return out;
    }
    if (out.byteRows == 0 || out.byteRows > 4) {
        out.state = SlotRead::BadRows;
        return out;
    }
    // The poll settles on the first packet a USB adapter hands over: wait for the whole slot
    // (a leading byte and the 256 stored). The columns the header announces make it usable.
    const qint64 columnsEnd = 3 + qint64(out.width) * out.byteRows;
    const qint64 needed = qMax(1 + qint64(SlotBlockBytes), columnsEnd);
    if (reply.size() < needed) {
        // A little room beyond the slot shows a line that goes on talking.
        constexpr qint64 kOverrunRoom = 64;
        const auto rest = readReply(s, needed - reply.size(), needed - reply.size() + kOverrunRoom);
        if (!rest)
            return std::nullopt;
        reply += rest->bytes;
    }
    out.overrun = reply.size() > needed;
    reply.truncate(needed);
    out.complete = reply.size() >= columnsEnd;
    out.state = SlotRead::Data;
    out.reply = reply;
    return out;
}

QByteArray SlotRead::binFile() const {
    // The file keeps every byte received, as the printer sent it.
    return encodeBin(width, byteRows, reply.mid(3), width * byteRows + 2);
}

QByteArray SlotRead::columns() const {
    return reply.mid(3, qint64(width) * byteRows).leftJustified(qint64(width) * byteRows, '\0');
}

Result<SlotRead> readLogoSlot(Session& s, int slot) {
    if (const auto refused = slotNumberRefusal(slot, 255))
        return *refused;
    OperationScope scope(s);
    auto read = fetchLogoSlot(s, slot);
    if (!read)
        return scope.failure();
    const QString digits = slotDigits(slot);
    switch (read->state) {
    case SlotRead::Empty:
        return slotRefusal(QStringLiteral("RECEIVE PRINTER LOGO"),
                           QStringLiteral("    LOGO#") + digits + QStringLiteral(" EMPTY.     "),
                           MessageIcon::Error);
    case SlotRead::OneByte:
        return slotRefusal(QStringLiteral("Load LOGO from Dropcaster"),
                           QStringLiteral("LOGO#") + digits +
                               QStringLiteral(" is EMPTY or have FORMAT ERROR."),
                           MessageIcon::Information);
    case SlotRead::BadWidth:
        setLamp(s, Lamp::Idle, LampTarget::Graphic);
        return slotRefusal(dataErrorTitle(digits),
                           QStringLiteral("Illegal Logo X-size (%1)!").arg(read->width),
                           MessageIcon::Error);
    case SlotRead::BadRows:
        setLamp(s, Lamp::Idle, LampTarget::Graphic);
        return slotRefusal(dataErrorTitle(digits),
                           QStringLiteral("Illegal Logo Y-size (%1)!").arg(read->byteRows),
                           MessageIcon::Error);
    case SlotRead::Data:
        break;
    }
    return *std::move(read);
}

Result<void> writeLogoSlot(Session& s, int slot, const PackedPicture& logo) {
    if (const auto refused = slotNumberRefusal(slot, 127))
        return *refused;
    // A logo the slot cannot hold whole is refused: a cut-off logo in the printer is worse
    // than none.
    if (!fitsSlot(logo.width, logo.byteRows))
        return badInput(
            slotTooSmallText(logo.width, 8 * logo.byteRows, logo.width * logo.byteRows));
    OperationScope scope(s);
    QByteArray payload;
    payload.append(char(logo.width)).append(char(logo.byteRows));
    payload.append(logo.columns.left(qint64(logo.width) * logo.byteRows));
    if (!sendSlotPayload(s, slot, payload))
        return scope.failure();
    return {};
}

Result<void> deleteLogoSlot(Session& s, int slot) {
    if (const auto refused = slotNumberRefusal(slot, 127))
        return *refused;
    OperationScope scope(s);
    if (!clearSlot(s, slot))
        return scope.failure();
    return {};
}

QString slotTooSmallText(int width, int height, int bytes) {
    return QStringLiteral("Логотип %1x%2 не помещается в ячейку Маркиратора "
                          "(%3 байт, допустимо не более %4).\n\r"
                          "Разделите его на части и запишите их по отдельности.")
        .arg(width)
        .arg(height)
        .arg(bytes)
        .arg(SlotBytes);
}

QString slotWrittenText(int slot) {
    return QStringLiteral("Передача Логотипа #") + slotDigits(slot) + QStringLiteral(" завершена.");
}

QString slotClearedText(int slot) {
    return QStringLiteral("Очистка Логотипа #") + slotDigits(slot) + QStringLiteral(" завершена.");
}

QString slotWriteTitle() {
    return kWriteTitle;
}

void readLogoSlot(Session& s) {
    if (!offerSaveBeforeReplacing(s))
        return;
    const auto slot = askSlot(s, QStringLiteral("Read Printer LOGO#"),
                              QStringLiteral("Input Logo Number (0..255)"), 255,
                              QStringLiteral("Illegal Logo Number. Repeat Input?"));
    if (!slot)
        return;
    const auto read = readLogoSlot(s, *slot);
    if (!read)
        return showFailure(s.dialogs, read.failure());
    const QString digits = slotDigits(*slot);
    const int width = read->width;
    const int byteRows = read->byteRows;
    if (!read->complete) {
        // A cut logo is shown for what it is, never kept as a file of the slot.
        s.logo->drawPackedLogo(read->columns(), width, byteRows);
        setLamp(s, Lamp::Idle, LampTarget::Graphic);
        s.dialogs.messageBox(dataErrorTitle(digits),
                             incompleteReplyText(read->reply.size(), 3 + qint64(width) * byteRows),
                             MessageIcon::Error, MessageButtons::Ok);
        return;
    }
    const QString fileName = QStringLiteral("logo") + digits + QStringLiteral(".bin");
    const QString path = s.workDir.filePath(fileName);
    const QString error = writeFileAtomically(path, read->binFile());
    if (!error.isEmpty()) {
        s.dialogs.error(error);
        return;
    }
    s.status.setField(GraphicField::File, QStringLiteral("LOGO#") + digits +
                                              QStringLiteral(" (Файл '") + fileName +
                                              QStringLiteral("')"));
    s.status.setField(GraphicField::Size,
                      QStringLiteral("XY-размер: %1x%2").arg(width).arg(8 * byteRows));
    s.logo->drawPackedLogo(read->columns(), width, byteRows);
    s.logo->setCurrentFile(path, QStringLiteral("bin"));
}

bool sendSlotPayload(Session& s, int slot, const QByteArray& payload) {
    s.link.error = false;
    setLamp(s, Lamp::Transfer, LampTarget::Graphic);
    QByteArray block = payload.left(SlotBlockBytes);
    block.append(QByteArray(SlotBlockBytes - block.size(), '\0'));
    // The header's last byte is the high byte of the payload length, zero for what fits a slot.
    const int length = 2 + quint8(block.at(0)) * quint8(block.at(1));
    return sendSlotBlock(s, logoWriteHeader(slot, length), block);
}

bool clearSlot(Session& s, int slot) {
    s.link.error = false;
    setLamp(s, Lamp::Transfer, LampTarget::Graphic);
    return sendSlotBlock(s, logoDeleteHeader(slot), QByteArray(SlotBlockBytes, '\0'));
}

void writeLogoSlot(Session& s) {
    if (splitForSlot(s) == SlotSplit::Failed)
        return;
    const LogoDocument& logo = *s.logo;
    if (!fitsSlot(logo.width(), logo.byteRows()) || logo.height() < 1) {
        s.dialogs.error(
            slotTooSmallText(logo.width(), logo.height(), logo.width() * logo.byteRows()));
        return;
    }
    const auto slot = askSlot(s, kWriteTitle, kSlotPrompt, 127, kSlotRetry);
    if (!slot)
        return;
    const PackedPicture packed{logo.width(), logo.byteRows(), logo.packColumns(0, logo.width())};
    if (const auto sent = writeLogoSlot(s, *slot, packed); !sent)
        return showFailure(s.dialogs, sent.failure());
    s.dialogs.messageBox(kWriteTitle, slotWrittenText(*slot), MessageIcon::Information,
                         MessageButtons::Ok);
}

void deleteLogoSlot(Session& s) {
    const auto slot = askSlot(s, kDeleteTitle, kSlotPrompt, 127, kSlotRetry);
    if (!slot)
        return;
    if (s.dialogs.messageBox(kDeleteTitle,
                             QStringLiteral("Вы действительно хотите удалить Логотип #") +
                                 slotDigits(*slot) + QStringLiteral("?"),
                             MessageIcon::Warning, MessageButtons::YesNo) != MessageAnswer::Yes)
        return;
    if (const auto cleared = deleteLogoSlot(s, *slot); !cleared)
        return showFailure(s.dialogs, cleared.failure());
    s.dialogs.messageBox(kWriteTitle, slotClearedText(*slot), MessageIcon::Information,
                         MessageButtons::Ok);
}

} // namespace logos
