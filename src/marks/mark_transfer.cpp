#include "marks/mark_transfer.h"

#include "link/request_exchange.h"
#include "marks/mark_document.h"
#include "marks/mark_file_commands.h"
#include "marks/mark_record.h"
#include "marks/text_check.h"
#include "platform/number_prompt.h"

using namespace platform;
using namespace printerlink;

namespace marks {

namespace {

constexpr int kHighestMark = 85;
constexpr int kBlockSize = 256;
// A reply that stops short of the mark data is complete once the line stayed quiet this long;
// USB-serial adapters leave gaps between their packets, usually a few milliseconds, at worst a
// good part of this.
constexpr int kQuietMs = 200;
constexpr int kCollectPollMs = 2;

struct MarkNumber {
    int number;
    QString typed;
};

// Empty when the prompt was closed or the user gave up after an invalid number.
std::optional<MarkNumber> askMarkNumber(Session& s, const QString& title) {
    NumberPrompt prompt(title,
                        QStringLiteral("Введите Номер Марки: 0..85  ( 0- печатаемая марка )"), 0,
                        kHighestMark);
    prompt.defaultText = QStringLiteral("0");
    // A closed prompt would read as 0, the mark being printed.
    prompt.blank = NumberPrompt::Blank::BlankCancels;
    prompt.repeatQuestion = QStringLiteral("Недопустимый Номер Марки. Повторить ввод?");
    const NumberAnswer a = askNumber(s.dialogs, prompt);
    if (!a)
        return std::nullopt;
    return MarkNumber{int(a.value), a.typed};
}

// Reads what has settled, then keeps reading until the whole mark data is in or the line has
// been quiet for a while, so a reply delivered in packets is not decoded half-empty.
QByteArray collectMarkReply(Session& s, qint64 settled, qint64* received) {
    QByteArray got = s.port.read(qMin<qint64>(settled, kMarkReplyBuffer));
    // Bounded by the wire time of the rest of the mark at the rate in force, plus a second.
    const qint64 limitMs = qint64(kMarkDataSize) * 10 * 1000 / qMax(1, s.port.baudRate()) + 1000;
    const qint64 start = s.clock.elapsedMs();
    qint64 lastByte = start;
    while (got.size() < kMarkDataSize && s.port.isOpen()) {
        const qint64 now = s.clock.elapsedMs();
        if (now - lastByte >= kQuietMs || now - start > limitMs)
            break;
        s.clock.waitMs(kCollectPollMs);
        if (const qint64 waiting = s.port.inputWaiting(); waiting > 0) {
            got += s.port.read(qMin<qint64>(waiting, kMarkReplyBuffer - got.size()));
            lastByte = s.clock.elapsedMs();
        }
    }
    if (received)
        *received = got.size();
    got.resize(kMarkReplyBuffer, '\0');
    return got;
}

void showMark(Session& s, const QByteArray& reply, MarkReader reader, int number) {
    if (isEmptyMarkReply(reply)) {
        s.dialogs.messageBox(
            QStringLiteral("МАРКА #") + QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0')),
            QStringLiteral("    ПУСТАЯ МАРКА!      "), MessageIcon::Error, MessageButtons::Ok);
        return;
    }
    MarkDocument& doc = *s.marks;
    MarkRows rows = doc.model().rows();
    decodeMarkData(reply, reader, rows);
    doc.model().setRows(rows);
    doc.selectRow(0);
    doc.redrawPreview();
    doc.setCanSaveAs(true);
}

} // namespace

std::optional<QByteArray> fetchMarkReply(Session& s, int number, MarkReader reader,
                                         qint64* received) {
    s.link.error = false;
    setLamp(s, Lamp::Transfer, LampTarget::TextMark);
    if (!writeRequest(s, readMarkRequest(number))) {
        reportReadError(s);
        return std::nullopt;
    }
    // The mark being printed answers at once; a stored one takes the printer a while to fetch.
    qint64 settled = 0;
    if (reader == MarkReader::Current) {
        settled = pollSettled(s, 350, 2);
    } else {
        s.clock.waitMs(10);
        settled = pollSettled(s, 100, 5);
    }
    if (settled == 0) {
        reportReadError(s);
        return std::nullopt;
    }
    if (reader == MarkReader::ByNumber)
        s.clock.waitMs(200);
    const QByteArray reply = collectMarkReply(s, s.port.inputWaiting(), received);
    setLamp(s, Lamp::Idle, LampTarget::TextMark);
    return reply;
}

bool sendMark(Session& s, int number, const MarkRows& rows) {
    s.link.error = false;
    setLamp(s, Lamp::Transfer, LampTarget::TextMark);
    if (!writeRequest(s, writeMarkRequest(number))) {
        reportWriteError(s, LampTarget::TextMark);
        return false;
    }
    s.clock.waitMs(2);
    const QByteArray data = encodeMarkData(rows);
    for (int at = 0; at < data.size(); at += kBlockSize) {
        if (!sendBlock(s, data.mid(at, kBlockSize))) {
            reportWriteError(s, LampTarget::TextMark);
            return false;
        }
        s.clock.waitMs(30);
    }
    setLamp(s, Lamp::Idle, LampTarget::TextMark);
    return true;
}

void readMarkByNumber(Session& s) {
    if (!s.marks)
        return;
    const auto number = askMarkNumber(s, QStringLiteral("Чтение Текстовой Марки из Маркиратора"));
    if (!number)
        return;
    if (const auto reply = fetchMarkReply(s, number->number, MarkReader::ByNumber))
        showMark(s, *reply, MarkReader::ByNumber, number->number);
}

void readCurrentMark(Session& s) {
    if (!s.marks)
        return;
    if (const auto reply = fetchMarkReply(s, 0, MarkReader::Current))
        showMark(s, *reply, MarkReader::Current, 0);
}

void writeMarkByNumber(Session& s) {
    if (!s.marks)
        return;
    const MarkRows rows = s.marks->model().rows();
    // A text that does not fit its record would spill into the next fragment's.
    if (const TextProblems problems = checkTexts(rows, true); problems.any()) {
        s.dialogs.error(textProblemsMessage(problems, QStringLiteral("Марка не записана.")));
        return;
    }
    const auto number = askMarkNumber(s, QStringLiteral("ЗАПИСЬ В МАРКИРАТОР"));
    if (!number)
        return;
    if (!sendMark(s, number->number, rows))
        return;
    s.dialogs.messageBox(QString(),
                         QStringLiteral("Запись Марки #") + number->typed +
                             QStringLiteral(" успешно завершена."),
                         MessageIcon::Information, MessageButtons::Ok);
}

} // namespace marks
