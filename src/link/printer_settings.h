// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/requests.h"
#include "link/result.h"
#include "link/session.h"

#include <QByteArray>
#include <QDateTime>
#include <optional>

namespace printerlink {

// The clock as the printer takes it: DDMMYY and hhmmss.
struct ClockDigits {
    QByteArray date;
    QByteArray time;
    bool operator==(const ClockDigits&) const = default;
};

// "Установка Часов (Дата+Время)": from the computer's clock or typed as DDMMYY hhmmss.
void setPrinterClock(Session& s);
// "Установка Смешения Даты (дней)": the offset post-date fragments add to today.
void setDateOffset(Session& s);
// "Установка Числа Текстовых Строк": 1..4 on a K309, 1..2 on a K307.
void setPrintLines(Session& s);

// The operations under them: each sends what it is given, without a question.
// The clock as DDMMYY and hhmmss, the date a moment before the time.
Result<void> writeClock(Session& s, const ClockDigits& digits);
// 0..9999 days.
Result<void> writeDateOffset(Session& s, int days);
// The count of print lines the printer reports, 0 when its reply gives none of 1..4.
Result<int> readPrintLines(Session& s);
// 1..printLinesLimit() of the link's model.
Result<void> writePrintLines(Session& s, int lines);

// --- the pure parts ---

ClockDigits clockDigits(const QDateTime& t);
QString clockQuestion(const QDateTime& now);
// "DDMMYY hhmmss" (the separator may be any character); nothing unless it is a real date
// (two-digit year taken as 20YY) and a real time of day.
std::optional<ClockDigits> parseTypedClock(const QString& text);

// The offset for the request, 4 digits; nothing outside 0..9999.
std::optional<QByteArray> dateOffsetField(const QString& answer);
QString postDateQuestion(const QDate& today, int offsetDays);

int printLinesLimit(const QString& modelName);
// The count in a read-lines reply when 1..4, else 0.
int printLinesCount(const QByteArray& reply);
// The prompt's default from the read-lines reply: the count when 1..4, "?" otherwise.
QString printLinesDefault(const QByteArray& reply);

} // namespace printerlink
