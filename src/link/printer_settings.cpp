// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/printer_settings.h"

#include "link/operation_scope.h"
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

int printLinesCount(const QByteArray& reply) {
    const int c = reply.size() > 1 ? quint8(reply[1]) : 0;
    return c >= 1 && c <= 4 ? c : 0;
}

QString printLinesDefault(const QByteArray& reply) {
    const int c = printLinesCount(reply);
    return c ? QString::number(c) : QStringLiteral("?");
}

Result<void> writeClock(Session& s, const ClockDigits& digits) {
    OperationScope scope(s);
    setLamp(s, Lamp::Idle);
    if (!sendSetting(s, setDateRequest(digits.date)))
        return scope.failure();
    s.clock.waitMs(50);
    if (!sendSetting(s, setTimeRequest(digits.time)))
        return scope.failure();
    return {};
}

Result<void> writeDateOffset(Session& s, int days) {
    const auto field = dateOffsetField(QString::number(days));
    if (!field)
        return badInput(QStringLiteral("Смещение даты - от 0 до 9999 дней."));
    OperationScope scope(s);
    setLamp(s, Lamp::Idle);
    if (!sendSetting(s, setDateOffsetRequest(*field)))
        return scope.failure();
    return {};
}

Result<int> readPrintLines(Session& s) {
    OperationScope scope(s);
    setLamp(s, Lamp::Transfer);
    if (requestExchange(s, printLinesRequest())) {
        // "S" and the count.
        if (const auto reply = readReply(s, 2, 256)) {
            setLamp(s, Lamp::Idle);
            return printLinesCount(reply->padded(256));
        }
    }
    return scope.failure();
}

Result<void> writePrintLines(Session& s, int lines) {
    const int limit = printLinesLimit(s.link.modelName);
    if (lines < 1 || lines > limit)
        return badInput(
            QStringLiteral("Число строк у %1 - от 1 до %2.").arg(s.link.modelName).arg(limit));
    OperationScope scope(s);
    if (!sendSetting(s, setPrintLinesRequest(lines)))
        return scope.failure();
    return {};
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

    if (const auto sent = writeClock(s, digits); !sent)
        showFailure(s.dialogs, sent.failure());
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
        if (const auto sent = writeDateOffset(s, field->toInt()); !sent)
            showFailure(s.dialogs, sent.failure());
        return;
    }
}

void setPrintLines(Session& s) {
    // A count the reply does not give leaves the default at "?"; a failed read, empty.
    QString defaultText;
    if (const auto lines = readPrintLines(s); !lines)
        showFailure(s.dialogs, lines.failure());
    else
        defaultText = *lines ? QString::number(*lines) : QStringLiteral("?");

    const int limit = printLinesLimit(s.link.modelName);
    const QString prompt = QStringLiteral("Введите Число Строк Печати (1..%1)").arg(limit);
    const QString title = QStringLiteral("НАСТРОЙКА МАРКИРАТОРА  ") + s.link.modelName;
    NumberPrompt ask(title, prompt, 1, limit);
    ask.defaultText = defaultText;
    ask.window = NumberPrompt::Window::Prompt;
    ask.repeatQuestion =
        QStringLiteral("НЕРЕАЛЬНОЕ ЧИСЛО СТРОК!\n\r") + QStringLiteral("Повторить ввод?");
    const NumberAnswer answer = askNumber(s.dialogs, ask);
    if (!answer)
        return;
    if (const auto sent = writePrintLines(s, int(answer.value)); !sent)
        showFailure(s.dialogs, sent.failure());
}

} // namespace printerlink
