// SPDX-License-Identifier: GPL-3.0-or-later
#include "marks/mark_record.h"

#include "link/requests.h"
#include "platform/codepage.h"
#include "platform/number_text.h"

using namespace platform;

namespace marks {

namespace {

quint8 byteAt(const QByteArray& bytes, qsizetype i) {
    return i >= 0 && i < bytes.size() ? quint8(bytes[i]) : 0;
}

// n bytes from `at`, ending earlier at a zero byte or the end of the reply.
QByteArrayView textAt(const QByteArray& bytes, qsizetype at, int n) {
    if (at >= bytes.size() || n <= 0)
        return {};
    const QByteArrayView text(bytes.constData() + at, qMin<qsizetype>(n, bytes.size() - at));
    const qsizetype zero = text.indexOf('\0');
    return zero < 0 ? text : text.first(zero);
}

} // namespace

int rowOfRecord(int record) {
    const int line = record % 4;
    const int fragment = record / 4;
    return 8 * line + fragment;
}

bool isEmptyMarkReply(const QByteArray& reply) {
    return byteAt(reply, 0) == 0;
}

void decodeMarkData(const QByteArray& reply, MarkReader reader, MarkRows& rows) {
    const bool byNumber = reader == MarkReader::ByNumber;
    for (int k = 0; k < kFragmentCount; ++k) {
        const qsizetype at = qsizetype(k) * kRecordSize;
        MarkRow& row = rows[rowOfRecord(k)];

        const quint8 code = byteAt(reply, at);
        if (std::optional<QString> name = functionNameOfCode(code))
            row[FunctionColumn] = *std::move(name);
        else
            row[FunctionColumn] = byNumber ? QStringLiteral("?") : zeroPadded(code, 3, u" ");

        const quint8 font = byteAt(reply, at + 1);
        if (byNumber) {
            // Two characters of the signed font: -56 shows as " -5", 100 as " 10".
            row[FontColumn] = zeroPadded(qint8(font), 2, u" ");
            row[FontColumn].truncate(3);
        } else {
            row[FontColumn] = zeroPadded(font, font >= 16 ? 3 : 2, u" ");
        }

        const int length = byNumber ? int(qint8(byteAt(reply, at + 2))) : byteAt(reply, at + 2);
        const QString text = length > 0
                                 ? fromCp1251(textAt(reply, at + 3, qMin(length, kMaxTextLength)))
                                 : QString();
        row[TextColumn] = text;
        row[FreeColumn] = freePlacesText(text);
    }
}

RecordProblems checkMarkRecords(const QByteArray& data) {
    RecordProblems out;
    for (int row = 0; row < kFragmentCount; ++row) {
        // Rows in table order, so the fragment lists read 11, 12, ... 48.
        const int record = (row % 8) * 4 + row / 8;
        const qsizetype at = qsizetype(record) * kRecordSize;
        const QString fragment = fragmentNumberOfRow(row);
        const quint8 code = byteAt(data, at);
        if (byteAt(data, at + 1) >= kFontCount)
            out.badFont.append(fragment);
        if (byteAt(data, at + 2) > kMaxTextLength)
            out.badLength.append(fragment);
        if (code != 0 && !functionNameOfCode(code))
            out.unknownCode.append(fragment);
    }
    return out;
}

QString recordProblemsText(const RecordProblems& problems) {
    QStringList parts;
    if (!problems.badFont.isEmpty())
        parts.append(QStringLiteral("шрифт больше 15 во фрагментах ") +
                     problems.badFont.join(QStringLiteral(", ")));
    if (!problems.badLength.isEmpty())
        parts.append(QStringLiteral("длина текста больше 44 во фрагментах ") +
                     problems.badLength.join(QStringLiteral(", ")));
    if (!problems.unknownCode.isEmpty())
        parts.append(QStringLiteral("неизвестный код функции во фрагментах ") +
                     problems.unknownCode.join(QStringLiteral(", ")));
    return parts.join(QStringLiteral("; "));
}

QByteArray encodeMarkData(const MarkRows& rows) {
    QByteArray data(kMarkDataSize, '\0');
    for (int k = 0; k < kFragmentCount; ++k) {
        const MarkRow& row = rows[rowOfRecord(k)];
        const qsizetype at = qsizetype(k) * kRecordSize;
        const quint8 code = functionCodeOfName(row[FunctionColumn]);
        QString text = row[TextColumn];
        if (code == BarcodeCode)
            text = text.leftJustified(kEanLength, QLatin1Char('0'), true);
        // Never past the record, whatever the caller let through.
        const QByteArray bytes = toCp1251(text).left(kMaxTextLength);
        data[at] = char(code);
        data[at + 1] = char(fontNumberOfText(row[FontColumn]));
        data[at + 2] = char(bytes.size());
        std::copy(bytes.begin(), bytes.end(), data.begin() + at + 3);
    }
    return data;
}

QString fragmentReportText(int line, int fragment, const QByteArray& reply) {
    QString text = QStringLiteral("ФРАГМЕНТ #") + QString::number(line) +
                   QString::number(fragment) + QStringLiteral(":\r\n\n");
    switch (byteAt(reply, 0)) {
    case BarcodeCode:
        text += QStringLiteral("Функция: ШтрихКод EAN13\n\r");
        break;
    case TextCode:
        text += QStringLiteral("Функция: ТЕКСТ\n\r");
        break;
    case NumberCode:
        text += QStringLiteral("Функция: БЕГУЩИЙ НОМЕР\n\r");
        break;
    case DateTimeCode:
        text += QStringLiteral("Функция: ДАТА+ВРЕМЯ\n\r");
        break;
    case GraphicCode:
        text += QStringLiteral("Функция: ГРАФИКА\n\r");
        break;
    case PostDateCode:
        text += QStringLiteral("Функция: ПОСТ-ДАТА\n\r");
        break;
    default:
        text += QStringLiteral("Функция: <неизвестна>\n\r");
        break;
    }
    text += QStringLiteral("Шрифт:   ") + zeroPadded(byteAt(reply, 1), 2) + QStringLiteral("\n\r");
    const int n = byteAt(reply, 2);
    if (n > 0)
        text +=
            QStringLiteral("Текст:   '") + fromCp1251(textAt(reply, 3, n)) + QStringLiteral("'.");
    else
        text += QStringLiteral("Текст:   <нет>");
    return text;
}

QByteArray writeFragmentRequest(const QString& functionText, const QString& fragment, int font,
                                const QByteArray& text) {
    return printerlink::fragmentWriteRequest(functionCodeOfName(functionText), fragment.toLatin1(),
                                             font, text);
}

QString writeFragmentQuestion(const QString& fragment, const QString& functionText,
                              const QString& fontText, const QString& text) {
    return QStringLiteral("ИЗМЕНИТЬ ФРАГМЕНТ # ") + fragment + QStringLiteral(" ?\n\r") +
           QStringLiteral("функция:\t") + functionText + QStringLiteral("\n\r") +
           QStringLiteral("шрифт:\t") + fontText.right(2) + QStringLiteral("\n\r") +
           QStringLiteral("текст:\t") + text;
}

} // namespace marks
