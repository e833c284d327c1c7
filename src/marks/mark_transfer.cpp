// SPDX-License-Identifier: GPL-3.0-or-later
#include "marks/mark_transfer.h"

#include "link/link_messages.h"
#include "link/operation_scope.h"
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

void showMark(Session& s, const Mark& mark) {
    MarkDocument& doc = *s.marks;
    doc.model().setRows(mark.rows);
    doc.selectRow(0);
    doc.redrawPreview();
    if (!mark.complete())
        s.dialogs.messageBox(markTitle(mark.number),
                             incompleteReplyText(mark.received, kMarkDataSize),
                             MessageIcon::Warning, MessageButtons::Ok);
}

void readAndShow(Session& s, int number, MarkReader reader) {
    const auto mark = readMark(s, number, reader);
    if (!mark)
        return showFailure(s.dialogs, mark.failure());
    showMark(s, *mark);
}

std::optional<Failure> numberRefusal(int number) {
    if (number < 0 || number > kHighestMark)
        return badInput(QStringLiteral("Номер марки - от 0 до 85."));
    return std::nullopt;
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

QString markTitle(int number) {
    return QStringLiteral("МАРКА #") + QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0'));
}

Result<Mark> readMark(Session& s, int number) {
    return readMark(s, number, number == 0 ? MarkReader::Current : MarkReader::ByNumber);
}

Result<Mark> readMark(Session& s, int number, MarkReader reader) {
    if (const auto refused = numberRefusal(number))
        return *refused;
    OperationScope scope(s);
    Mark mark;
    mark.number = number;
    mark.reader = reader;
    const auto reply = fetchMarkReply(s, number, mark.reader, &mark.received);
    if (!reply)
        return scope.failure();
    if (isEmptyMarkReply(*reply)) {
        Failure empty = refusal(QStringLiteral("    ПУСТАЯ МАРКА!      "));
        empty.title = markTitle(number);
        return empty;
    }
    mark.rows = initialRows();
    decodeMarkData(*reply, mark.reader, mark.rows);
    return mark;
}

Result<void> writeMark(Session& s, int number, const MarkRows& rows) {
    if (const auto refused = numberRefusal(number))
        return *refused;
    // A text that does not fit its record would spill into the next fragment's.
    if (const TextProblems problems = checkTexts(rows, true); problems.any())
        return badInput(textProblemsMessage(problems, QStringLiteral("Марка не записана.")));
    OperationScope scope(s);
    if (!sendMark(s, number, rows))
        return scope.failure();
    return {};
}

void readMarkByNumber(Session& s) {
    if (!s.marks)
        return;
    const auto number = askMarkNumber(s, QStringLiteral("Чтение Текстовой Марки из Маркиратора"));
    if (!number)
        return;
    readAndShow(s, number->number, MarkReader::ByNumber);
}

void readCurrentMark(Session& s) {
    if (!s.marks)
        return;
    readAndShow(s, 0, MarkReader::Current);
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
    if (const auto sent = writeMark(s, number->number, rows); !sent)
        return showFailure(s.dialogs, sent.failure());
    s.dialogs.messageBox(QString(),
                         QStringLiteral("Запись Марки #") + number->typed +
                             QStringLiteral(" успешно завершена."),
                         MessageIcon::Information, MessageButtons::Ok);
}

} // namespace marks
