// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/requests.h"
#include "link/session.h"

#include <QByteArray>
#include <QDateTime>
#include <optional>

namespace printerlink {

// "Установка Часов (Дата+Время)": from the computer's clock or typed as DDMMYY hhmmss.
void setPrinterClock(Session& s);
// "Установка Смешения Даты (дней)": the offset post-date fragments add to today.
void setDateOffset(Session& s);
// "Установка Числа Текстовых Строк": 1..4 on a K309, 1..2 on a K307.
void setPrintLines(Session& s);

// --- the pure parts ---

// The clock as the printer takes it: DDMMYY and hhmmss.
struct ClockDigits {
    QByteArray date;
    QByteArray time;
    bool operator==(const ClockDigits&) const = default;
};
ClockDigits clockDigits(const QDateTime& t);
QString clockQuestion(const QDateTime& now);
// "DDMMYY hhmmss" (the separator may be any character); nothing unless it is a real date
// (two-digit year taken as 20YY) and a real time of day.
std::optional<ClockDigits> parseTypedClock(const QString& text);

// The offset for the request, 4 digits; nothing outside 0..9999.
std::optional<QByteArray> dateOffsetField(const QString& answer);
QString postDateQuestion(const QDate& today, int offsetDays);

int printLinesLimit(const QString& modelName);
// The prompt's default from the read-lines reply: the count when 1..4, "?" otherwise.
QString printLinesDefault(const QByteArray& reply);

} // namespace printerlink
