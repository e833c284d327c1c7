#include "logos/logo_transfer.h"

#include "link/request_exchange.h"
#include "logos/logo_document.h"
#include "logos/logo_file_commands.h"
#include "logos/picture_files.h"
#include "logos/picture_split.h"
#include "platform/number_prompt.h"
#include "platform/number_text.h"

#include <optional>

using namespace platform;
using namespace printerlink;

namespace {

constexpr int kSlotBytes = 256;
constexpr int kReadPollCycles = 200;
constexpr int kAfterWriteMs = 200;
constexpr char kLead = 0x0F;
constexpr char kEnd = 0x0E;

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

QByteArray slotRequest(char command, int slot, char last) {
    return QByteArray(1, kLead) + command + slotDigits(slot).toLatin1() + last;
}

void discardInput(Session& s) {
    s.port.read(s.port.inputWaiting());
}

// Header, a pause, then the 256-byte block; the printer's answer is read and ignored.
bool sendSlotBlock(Session& s, const QByteArray& header, const QByteArray& block) {
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

void dataError(Session& s, const QString& digits, const QString& text) {
    setLamp(s, Lamp::Idle, LampTarget::Graphic);
    s.dialogs.messageBox(QStringLiteral("Logo#") + digits + QStringLiteral(" Data Error"), text,
                         MessageIcon::Error, MessageButtons::Ok);
}

// A logo the slot cannot hold whole is refused: a cut-off logo in the printer is worse than none.
bool fitsSlot(Session& s) {
    const logos::LogoDocument& logo = *s.logo;
    const int bytes = logo.width() * logo.byteRows();
    if (logo.width() >= 1 && logo.height() >= 1 && bytes <= logos::SlotBytes)
        return true;
    s.dialogs.error(QStringLiteral("Логотип %1x%2 не помещается в ячейку Маркиратора "
                                   "(%3 байт, допустимо не более 252).\n\r"
                                   "Разделите его на части и запишите их по отдельности.")
                        .arg(logo.width())
                        .arg(logo.height())
                        .arg(bytes));
    return false;
}

} // namespace

void readLogoSlot(Session& s) {
    if (!logos::offerSaveBeforeReplacing(s))
        return;
    const auto slot = askSlot(s, QStringLiteral("Read Printer LOGO#"),
                              QStringLiteral("Input Logo Number (0..255)"), 255,
                              QStringLiteral("Illegal Logo Number. Repeat Input?"));
    if (!slot)
        return;
    const QString digits = slotDigits(*slot);
    s.link.error = false;
    if (!writeRequest(s, slotRequest('i', *slot, kEnd))) {
        reportReadError(s);
        return;
    }
    const qint64 length = pollSettled(s, kReadPollCycles, 1);
    if (length == 0) {
        // Only silence is an empty slot: bytes that never settle are a broken reply.
        if (!s.port.isOpen() || s.port.inputWaiting() > 0) {
            reportReadError(s);
            return;
        }
        // An empty slot does not answer at all.
        setLamp(s, Lamp::Idle, LampTarget::Graphic);
        s.dialogs.messageBox(QStringLiteral("RECEIVE PRINTER LOGO"),
                             QStringLiteral("    LOGO#") + digits + QStringLiteral(" EMPTY.     "),
                             MessageIcon::Error, MessageButtons::Ok);
        return;
    }
    setLamp(s, Lamp::Transfer, LampTarget::Graphic);
    QByteArray reply = s.port.read(length);
    if (reply.size() < length) {
        reportReadError(s);
        return;
    }
    if (length == 1) {
        setLamp(s, Lamp::Idle, LampTarget::Graphic);
        s.dialogs.messageBox(QStringLiteral("Load LOGO from Dropcaster"),
                             QStringLiteral("LOGO#") + digits +
                                 QStringLiteral(" is EMPTY or have FORMAT ERROR."),
                             MessageIcon::Information, MessageButtons::Ok);
        return;
    }
    if (reply.size() < 3)
        reply.append(QByteArray(3 - reply.size(), '\0'));
    const int width = quint8(reply.at(1));
    const int byteRows = quint8(reply.at(2));
    if (width == 0 || width > 254) {
        dataError(s, digits, QStringLiteral("Illegal Logo X-size (%1)!").arg(width));
        return;
    }
    if (byteRows == 0 || byteRows > 4) {
        dataError(s, digits, QStringLiteral("Illegal Logo Y-size (%1)!").arg(byteRows));
        return;
    }
    // The poll settles on the first packet a USB adapter hands over: wait for the whole slot
    // (a leading byte and the 256 stored), or at least for the columns the header announces.
    const qint64 needed = qMax(1 + qint64(kSlotBytes), 3 + qint64(width) * byteRows);
    if (reply.size() < needed)
        reply += readRemainder(s, needed - reply.size());
    const QString fileName = QStringLiteral("logo") + digits + QStringLiteral(".bin");
    const QString path = s.workDir.filePath(fileName);
    // The file keeps every byte received, as the printer sent it.
    const QString error = logos::writeFileAtomically(
        path, logos::encodeBin(width, byteRows, reply.mid(3), width * byteRows + 2));
    if (!error.isEmpty()) {
        setLamp(s, Lamp::Idle, LampTarget::Graphic);
        s.dialogs.error(error);
        return;
    }
    setLamp(s, Lamp::Idle, LampTarget::Graphic);
    s.status.setField(GraphicField::File, QStringLiteral("LOGO#") + digits +
                                              QStringLiteral(" (Файл '") + fileName +
                                              QStringLiteral("')"));
    s.status.setField(GraphicField::Size,
                      QStringLiteral("XY-размер: %1x%2").arg(width).arg(8 * byteRows));
    s.logo->drawPackedLogo(reply.mid(3, qint64(width) * byteRows), width, byteRows);
    s.logo->setCurrentFile(path, QStringLiteral("bin"));
}

void writeLogoSlot(Session& s) {
    if (logos::splitForSlot(s) == logos::SlotSplit::Failed)
        return;
    if (!fitsSlot(s))
        return;
    const auto slot = askSlot(s, kWriteTitle, kSlotPrompt, 127, kSlotRetry);
    if (!slot)
        return;
    s.link.error = false;
    setLamp(s, Lamp::Transfer, LampTarget::Graphic);
    const logos::LogoDocument& logo = *s.logo;
    const int width = logo.width();
    const int byteRows = logo.byteRows();
    QByteArray payload;
    payload.append(char(width)).append(char(byteRows)).append(logo.packColumns(0, width));
    payload.append(QByteArray(kSlotBytes - payload.size(), '\0'));
    // The header's last byte is the high byte of the payload length, zero for what fits a slot.
    const int length = 2 + width * byteRows;
    if (sendSlotBlock(s, slotRequest('l', *slot, char(length >> 8)), payload))
        s.dialogs.messageBox(kWriteTitle,
                             QStringLiteral("Передача Логотипа #") + slotDigits(*slot) +
                                 QStringLiteral(" завершена."),
                             MessageIcon::Information, MessageButtons::Ok);
}

void deleteLogoSlot(Session& s) {
    const auto slot = askSlot(s, kDeleteTitle, kSlotPrompt, 127, kSlotRetry);
    if (!slot)
        return;
    const QString digits = slotDigits(*slot);
    if (s.dialogs.messageBox(kDeleteTitle,
                             QStringLiteral("Вы действительно хотите удалить Логотип #") + digits +
                                 QStringLiteral("?"),
                             MessageIcon::Warning, MessageButtons::YesNo) != MessageAnswer::Yes)
        return;
    s.link.error = false;
    setLamp(s, Lamp::Transfer, LampTarget::Graphic);
    if (sendSlotBlock(s, slotRequest('l', *slot, kEnd), QByteArray(kSlotBytes, '\0')))
        s.dialogs.messageBox(kWriteTitle,
                             QStringLiteral("Очистка Логотипа #") + digits +
                                 QStringLiteral(" завершена."),
                             MessageIcon::Information, MessageButtons::Ok);
}
