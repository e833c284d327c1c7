// SPDX-License-Identifier: GPL-3.0-or-later
#include "marks/fragment_transfer.h"

#include "link/link_messages.h"
#include "link/operation_scope.h"
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

// `lowest` 0 lets a write through with the editor's "00": no row chosen.
std::optional<Failure> addressRefusal(FragmentAddress at, int lowest) {
    if (at.line < lowest || at.line > 4)
        return badInput(QStringLiteral("Номер строки - от 1 до 4."));
    if (at.fragment < lowest || at.fragment > 8)
        return badInput(QStringLiteral("Номер фрагмента - от 1 до 8."));
    return std::nullopt;
}

Fragment decodeFragment(const QByteArray& record) {
    Fragment f;
    f.function = quint8(record.at(0));
    f.font = quint8(record.at(1));
    const int n = qMin<int>(quint8(record.at(2)), kMaxTextLength);
    QByteArray text = record.mid(3, n);
    if (const qsizetype zero = text.indexOf('\0'); zero >= 0)
        text.truncate(zero);
    f.text = fromCp1251(text);
    return f;
}

} // namespace

QString FragmentAddress::number() const {
    return QString::number(line) + QString::number(fragment);
}

QString fragmentTextRefusal(const QString& text) {
    QString refusal;
    if (text.size() > kMaxTextLength)
        refusal += QStringLiteral("Текст фрагмента длиннее 44 символов (") +
                   QString::number(text.size()) + QStringLiteral(").\n\r");
    if (const QString bad = unencodableCp1251(text); !bad.isEmpty())
        refusal += QStringLiteral("Символы, которых нет в кодировке Windows-1251: ") + bad +
                   QStringLiteral(".\n\r");
    if (text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')))
        refusal += QStringLiteral("Текст фрагмента содержит перевод строки.\n\r");
    if (refusal.isEmpty())
        return refusal;
    return refusal + QStringLiteral("Фрагмент не записан.");
}

Result<FragmentReading> readFragment(Session& s, FragmentAddress at) {
    if (const auto refused = addressRefusal(at, 1))
        return *refused;
    OperationScope scope(s);
    setLamp(s, Lamp::Transfer);
    if (!requestExchange(s, fragmentReadRequest(at.line, at.fragment)))
        return scope.failure();
    // One mark record: code, font, text length, the text, zeros. The record is read whole, so
    // none of it trails into the next command; it is usable once its text is in.
    auto reply = readReply(s, kRecordSize, kFragmentReplyBuffer);
    if (!reply)
        return scope.failure();
    setLamp(s, Lamp::Idle);
    const QByteArray bytes = reply->padded(kFragmentReplyBuffer);
    FragmentReading out;
    out.fragment = decodeFragment(bytes);
    out.reportText = fragmentReportText(at.line, at.fragment, bytes);
    out.textEnd = 3 + quint8(bytes.at(2));
    out.usable = reply->bytes.size() >= qMin<qint64>(out.textEnd, kRecordSize);
    out.reply = *std::move(reply);
    return out;
}

Result<void> writeFragment(Session& s, FragmentAddress at, const Fragment& fragment) {
    if (const auto refused = addressRefusal(at, 0))
        return *refused;
    if (!functionNameOfCode(fragment.function))
        return badInput(QStringLiteral("Неизвестная функция фрагмента."));
    if (fragment.font < 0 || fragment.font >= kFontCount)
        return badInput(QStringLiteral("Номер шрифта - от 0 до 15."));
    if (const QString refused = fragmentTextRefusal(fragment.text); !refused.isEmpty())
        return badInput(refused);
    OperationScope scope(s);
    setLamp(s, Lamp::Transfer, LampTarget::TextMark);
    const QByteArray request = fragmentWriteRequest(fragment.function, at.number().toLatin1(),
                                                    fragment.font, toCp1251(fragment.text));
    if (!writeRequest(s, request)) {
        reportWriteError(s, LampTarget::TextMark);
        return scope.failure();
    }
    setLamp(s, Lamp::Idle, LampTarget::TextMark);
    return {};
}

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
    const auto read = readFragment(s, {*line, *fragment});
    if (!read)
        return showFailure(s.dialogs, read.failure());
    QString text = read->reportText;
    if (!read->usable)
        text +=
            QStringLiteral("\r\n\n") + incompleteReplyText(read->reply.bytes.size(), read->textEnd);
    s.dialogs.messageBox(QStringLiteral("Информация Системы Печати"), text,
                         read->usable ? MessageIcon::Information : MessageIcon::Warning,
                         MessageButtons::Ok);
}

void writeFragment(Session& s) {
    if (!s.marks)
        return;
    const MarkDocument& doc = *s.marks;
    const QString text = doc.fragmentText();
    if (const QString refused = fragmentTextRefusal(text); !refused.isEmpty()) {
        s.dialogs.error(refused);
        return;
    }
    const QString number = doc.selectedFragment();
    if (s.dialogs.messageBox(
            QStringLiteral("Изменение Печатной Марки"),
            writeFragmentQuestion(number, doc.functionText(), doc.fontText(), text),
            MessageIcon::Warning, MessageButtons::YesNo) != MessageAnswer::Yes)
        return;
    const FragmentAddress at{number.left(1).toInt(), number.mid(1, 1).toInt()};
    const Fragment fragment{functionCodeOfName(doc.functionText()),
                            fontNumberOfText(doc.fontText()), text};
    if (const auto sent = writeFragment(s, at, fragment); !sent)
        showFailure(s.dialogs, sent.failure());
}

} // namespace marks
