// SPDX-License-Identifier: GPL-3.0-or-later
#include "marks/fragment_transfer.h"

#include "link/link_messages.h"
#include "link/request_exchange.h"
#include "link/requests.h"
#include "marks/mark_document.h"
#include "marks/mark_record.h"
#include "platform/codepage.h"
#include "platform/number_prompt.h"

using namespace platform;
using namespace printerlink;

namespace marks {

namespace {

constexpr int kFragmentReplyBuffer = 8192;

// The number typed, or `fallback` when it is outside 1..highest; nothing when cancelled.
std::optional<int> askPosition(Session& s, const QString& prompt, int highest) {
    NumberPrompt ask(QStringLiteral("Чтение Фрагмента Марки"), prompt, 1, highest);
    ask.defaultText = QStringLiteral("1");
    ask.blank = NumberPrompt::Blank::BlankCancels;
    ask.fallback = 1;
    const NumberAnswer a = askNumber(s.dialogs, ask);
    if (!a)
        return std::nullopt;
    return int(a.value);
}

} // namespace

void readFragment(Session& s) {
    if (!s.marks)
        return;
    const auto line = askPosition(s, QStringLiteral("Введите Номер Строки (1...4)"), 4);
    if (!line)
        return;
    const auto fragment =
        askPosition(s, QStringLiteral("Введите Номер Фрагмента в Строке (1...8)"), 8);
    if (!fragment)
        return;
    setLamp(s, Lamp::Transfer);
    if (!requestExchange(s, fragmentReadRequest(*line, *fragment)))
        return;
    // One mark record: code, font, text length, the text, zeros. The record is read whole, so
    // none of it trails into the next command; it is usable once its text is in.
    auto reply = readReply(s, kRecordSize, kFragmentReplyBuffer);
    if (!reply)
        return;
    setLamp(s, Lamp::Idle);
    const QByteArray bytes = reply->padded(kFragmentReplyBuffer);
    const qint64 textEnd = 3 + quint8(bytes.at(2));
    const bool usable = reply->bytes.size() >= qMin<qint64>(textEnd, kRecordSize);
    QString text = fragmentReportText(*line, *fragment, bytes);
    if (!usable)
        text += QStringLiteral("\r\n\n") + incompleteReplyText(reply->bytes.size(), textEnd);
    s.dialogs.messageBox(QStringLiteral("Информация Системы Печати"), text,
                         usable ? MessageIcon::Information : MessageIcon::Warning,
                         MessageButtons::Ok);
}

void writeFragment(Session& s) {
    if (!s.marks)
        return;
    const MarkDocument& doc = *s.marks;
    const QString text = doc.fragmentText();
    QString refusal;
    if (text.size() > kMaxTextLength)
        refusal += QStringLiteral("Текст фрагмента длиннее 44 символов (") +
                   QString::number(text.size()) + QStringLiteral(").\n\r");
    if (const QString bad = unencodableCp1251(text); !bad.isEmpty())
        refusal += QStringLiteral("Символы, которых нет в кодировке Windows-1251: ") + bad +
                   QStringLiteral(".\n\r");
    if (!refusal.isEmpty()) {
        s.dialogs.error(refusal + QStringLiteral("Фрагмент не записан."));
        return;
    }

    const QString fragment = doc.selectedFragment();
    if (s.dialogs.messageBox(
            QStringLiteral("Изменение Печатной Марки"),
            writeFragmentQuestion(fragment, doc.functionText(), doc.fontText(), text),
            MessageIcon::Warning, MessageButtons::YesNo) != MessageAnswer::Yes)
        return;

    setLamp(s, Lamp::Transfer, LampTarget::TextMark);
    const QByteArray request = writeFragmentRequest(
        doc.functionText(), fragment, fontNumberOfText(doc.fontText()), toCp1251(text));
    if (!writeRequest(s, request)) {
        reportWriteError(s, LampTarget::TextMark);
        return;
    }
    setLamp(s, Lamp::Idle, LampTarget::TextMark);
}

} // namespace marks
