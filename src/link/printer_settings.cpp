// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/printer_settings.h"

#include "link/request_exchange.h"
#include "link/requests.h"
#include "platform/number_prompt.h"
#include "platform/number_text.h"

using namespace platform;

namespace printerlink {

namespace {

const QString kClockTitle = QStringLiteral("Установка Часов Маркиратора");

bool allDigits(QStringView text) {
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

// Writes a settings request; the printer sends no confirmation, so the lamp and a message are
// all the user gets.
bool sendSetting(Session& s, const QByteArray& request) {
    if (!writeRequest(s, request)) {
        reportWriteError(s);
        return false;
    }
    s.link.error = false;
    setLamp(s, Lamp::Idle);
    return true;
}

} // namespace

ClockDigits clockDigits(const QDateTime& t) {
    return {t.toString(QStringLiteral("ddMMyy")).toLatin1(),
            t.toString(QStringLiteral("hhmmss")).toLatin1()};
}

QString clockQuestion(const QDateTime& now) {
    return QStringLiteral("Установить время по Компьютеру?\n\rДата:  ") +
           now.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral("\tВремя:  ") +
           now.toString(QStringLiteral("hh:mm:ss"));
}

std::optional<ClockDigits> parseTypedClock(const QString& text) {
    if (text.size() != 13)
        return std::nullopt;
    const QStringView date = QStringView(text).left(6);
    const QStringView time = QStringView(text).right(6);
    if (!allDigits(date) || !allDigits(time))
        return std::nullopt;
    auto pair = [](QStringView v, int at) { return v.mid(at, 2).toInt(); };
    if (!QDate(2000 + pair(date, 4), pair(date, 2), pair(date, 0)).isValid())
        return std::nullopt;
    if (pair(time, 0) > 23 || pair(time, 2) > 59 || pair(time, 4) > 59)
        return std::nullopt;
    return ClockDigits{date.toLatin1(), time.toLatin1()};
}

std::optional<QByteArray> dateOffsetField(const QString& answer) {
    const qint64 v = readDecimal(answer);
    if (v < 0 || v > 9999)
        return std::nullopt;
    // From the number read, not the text: " 30" or "00030" must not reach the printer as
    // "0 30" or "0003".
    return QByteArray::number(v).rightJustified(4, '0');
}

QString postDateQuestion(const QDate& today, int offsetDays) {
    return QStringLiteral("УСТАНОВИТЬ ПОСТ-ДАТУ:  ") +
           today.addDays(offsetDays).toString(QStringLiteral("dd.MM.yyyy")) +
           QStringLiteral(" ?\n\r('нет'- повторить ввод, 'выход'- отмена)");
}

int printLinesLimit(const QString& modelName) {
    return modelName == QLatin1String("K309") ? 4 : 2;
}

QString printLinesDefault(const QByteArray& reply) {
    const int c = reply.size() > 1 ? quint8(reply[1]) : 0;
    return c >= 1 && c <= 4 ? QString::number(c) : QStringLiteral("?");
}

void setPrinterClock(Session& s) {
    const QDateTime now = s.clock.now();
    const MessageAnswer fromPc = s.dialogs.messageBox(
        kClockTitle, clockQuestion(now), MessageIcon::None, MessageButtons::YesNoCancel);
    ClockDigits digits;
    if (fromPc == MessageAnswer::Yes) {
        // The question may have stood for minutes: the time of the answer is the one to send.
        digits = clockDigits(s.clock.now());
    } else if (fromPc == MessageAnswer::No) {
        for (;;) {
            const ClockDigits fresh = clockDigits(s.clock.now());
            const QString answer = s.dialogs.promptDialog(
                kClockTitle,
                QStringLiteral("Введите дату и время в формате\n\r     'ДДММГГ ЧЧММСС'"),
                QString::fromLatin1(fresh.date + ' ' + fresh.time));
            if (answer.isEmpty())
                return;
            if (const auto typed = parseTypedClock(answer)) {
                digits = *typed;
                break;
            }
            if (!s.dialogs.askRetry(QStringLiteral("НЕПРАВИЛЬНЫЙ ФОРМАТ ДАТЫ+ВРЕМЕНИ!\n\r") +
                                    QStringLiteral("Повторить ввод даты+времени?")))
                return;
        }
    } else {
        return;
    }

    setLamp(s, Lamp::Idle);
    if (!sendSetting(s, setDateRequest(digits.date)))
        return;
    s.clock.waitMs(50);
    sendSetting(s, setTimeRequest(digits.time));
}

void setDateOffset(Session& s) {
    NumberPrompt prompt(QStringLiteral("Установка Смещения Даты (ПостДата)"),
                        QStringLiteral("Введите смещение даты в днях (0..9999)"), 0, 9999);
    // An empty answer is an offset of 0 here, not a cancel.
    prompt.blank = NumberPrompt::Blank::ReadsAsZero;
    prompt.repeatQuestion = QStringLiteral("НЕПРАВИЛЬНЫЙ ФОРМАТ СМЕЩЕНИЯ ДАТЫ!\n\r") +
                            QStringLiteral("Повторить ввод?");
    for (;;) {
        const NumberAnswer answer = askNumber(s.dialogs, prompt);
        if (!answer)
            return;
        const auto field = dateOffsetField(answer.typed);
        const MessageAnswer confirm = s.dialogs.messageBox(
            QStringLiteral("СМЕЩЕНИЕ ДАТЫ"), postDateQuestion(s.clock.now().date(), field->toInt()),
            MessageIcon::Question, MessageButtons::YesNoCancel);
        if (confirm == MessageAnswer::No)
            continue;
        if (confirm != MessageAnswer::Yes)
            return;
        setLamp(s, Lamp::Idle);
        sendSetting(s, setDateOffsetRequest(*field));
        return;
    }
}

void setPrintLines(Session& s) {
    QString defaultText;
    setLamp(s, Lamp::Transfer);
    if (requestExchange(s, printLinesRequest())) {
        // "S" and the count; a cut reply leaves the default at "?".
        if (const auto reply = readReply(s, 2, 256)) {
            defaultText = printLinesDefault(reply->padded(256));
            setLamp(s, Lamp::Idle);
        }
    }

    const int limit = printLinesLimit(s.link.modelName);
    const QString prompt = QStringLiteral("Введите Число Строк Печати (1..%1)").arg(limit);
    const QString title = QStringLiteral("НАСТРОЙКА МАРКИРАТОРА  ") + s.link.modelName;
    NumberPrompt ask(title, prompt, 1, limit);
    ask.defaultText = defaultText;
    ask.window = NumberPrompt::Window::Prompt;
    ask.repeatQuestion =
        QStringLiteral("НЕРЕАЛЬНОЕ ЧИСЛО СТРОК!\n\r") + QStringLiteral("Повторить ввод?");
    const NumberAnswer answer = askNumber(s.dialogs, ask);
    if (answer)
        sendSetting(s, setPrintLinesRequest(int(answer.value)));
}

} // namespace printerlink
