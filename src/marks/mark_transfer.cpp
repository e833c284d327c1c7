// SPDX-License-Identifier: GPL-3.0-or-later
#include "marks/mark_transfer.h"

#include "link/link_messages.h"
#include "link/request_exchange.h"
#include "link/requests.h"
#include "link/transfer_progress.h"
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
    // Anything but a number would read as 0, the mark being printed: it asks again instead.
    prompt.numberRequired = true;
    prompt.repeatQuestion = QStringLiteral("Недопустимый Номер Марки. Повторить ввод?");
    const NumberAnswer a = askNumber(s.dialogs, prompt);
    if (!a)
        return std::nullopt;
    return MarkNumber{int(a.value), a.typed};
}

void showMark(Session& s, const QByteArray& reply, qint64 received, MarkReader reader, int number) {
    const QString title =
        QStringLiteral("МАРКА #") + QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0'));
    if (isEmptyMarkReply(reply)) {
        s.dialogs.messageBox(title, QStringLiteral("    ПУСТАЯ МАРКА!      "), MessageIcon::Error,
                             MessageButtons::Ok);
        return;
    }
    MarkDocument& doc = *s.marks;
    MarkRows rows = doc.model().rows();
    decodeMarkData(reply, reader, rows);
    doc.model().setRows(rows);
    doc.selectRow(0);
    doc.redrawPreview();
    doc.setCanSaveAs(true);
    if (received < kMarkDataSize)
        s.dialogs.messageBox(title, incompleteReplyText(received, kMarkDataSize),
                             MessageIcon::Warning, MessageButtons::Ok);
}

} // namespace

std::optional<QByteArray> fetchMarkReply(Session& s, int number, MarkReader reader,
                                         qint64* received) {
    s.link.error = false;
    setLamp(s, Lamp::Transfer, LampTarget::TextMark);
    const QByteArray request = markReadRequest(number);
    TransferProgress progress(s, request.size() + kMarkDataSize);
    if (!writeRequest(s, request)) {
        reportReadError(s);
        return std::nullopt;
    }
    // The mark being printed answers at once; a stored one takes the printer a while to fetch.
    qint64 settled = 0;
    if (reader == MarkReader::Current) {
        settled = pollSettled(s, 350, 2, kMarkDataSize);
    } else {
        s.clock.waitMs(10);
        settled = pollSettled(s, 100, 5, kMarkDataSize);
    }
    if (settled == 0) {
        reportReadError(s);
        return std::nullopt;
    }
    // A stored mark may pause between its parts; once all of it has come, nothing more will.
    if (reader == MarkReader::ByNumber && s.port.inputWaiting() < kMarkDataSize)
        s.clock.waitMs(200);
    // The mark data, however it arrives; the buffer holds what came, zero-filled.
    const auto reply = readReply(s, kMarkDataSize, kMarkReplyBuffer);
    if (!reply)
        return std::nullopt;
    if (received)
        *received = reply->bytes.size();
    setLamp(s, Lamp::Idle, LampTarget::TextMark);
    return reply->padded(kMarkReplyBuffer);
}

bool sendMark(Session& s, int number, const MarkRows& rows) {
    s.link.error = false;
    setLamp(s, Lamp::Transfer, LampTarget::TextMark);
    const QByteArray request = markWriteHeader(number);
    const QByteArray data = encodeMarkData(rows);
    // The printer takes the mark whole: once the request is out, every block follows.
    TransferProgress progress(s, request.size() + data.size());
    if (!writeRequest(s, request)) {
        reportWriteError(s, LampTarget::TextMark);
        return false;
    }
    s.clock.waitMs(2);
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
    qint64 received = 0;
    if (const auto reply = fetchMarkReply(s, number->number, MarkReader::ByNumber, &received))
        showMark(s, *reply, received, MarkReader::ByNumber, number->number);
}

void readCurrentMark(Session& s) {
    if (!s.marks)
        return;
    qint64 received = 0;
    if (const auto reply = fetchMarkReply(s, 0, MarkReader::Current, &received))
        showMark(s, *reply, received, MarkReader::Current, 0);
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
