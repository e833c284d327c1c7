// SPDX-License-Identifier: GPL-3.0-or-later
#include "marks/text_check.h"

#include "platform/codepage.h"

using namespace platform;

namespace marks {

TextProblems checkTexts(const MarkRows& rows, bool forPrinter) {
    TextProblems problems;
    for (const MarkRow& row : rows) {
        const QString& text = row[TextColumn];
        const QString bad = unencodableCp1251(text);
        if (!bad.isEmpty()) {
            problems.unencodable.append(row[NumberColumn]);
            for (const QChar c : bad) {
                if (!problems.characters.contains(c))
                    problems.characters.append(c);
            }
        }
        // EAN texts are padded or cut to 13 digits on the way out, so they always fit.
        if (forPrinter && text.size() > kMaxTextLength &&
            functionCodeOfName(row[FunctionColumn]) != BarcodeCode)
            problems.tooLong.append(row[NumberColumn]);
        if (!forPrinter && (text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')) ||
                            text.contains(QChar(0))))
            problems.lineBreaks.append(row[NumberColumn]);
    }
    return problems;
}

QString textProblemsMessage(const TextProblems& problems, const QString& what) {
    QString text;
    if (!problems.tooLong.isEmpty())
        text += QStringLiteral("Текст длиннее 44 символов во фрагментах: ") +
                problems.tooLong.join(QStringLiteral(", ")) + QStringLiteral(".\n\r");
    if (!problems.unencodable.isEmpty())
        text += QStringLiteral("Символы, которых нет в кодировке Windows-1251 (") +
                problems.characters + QStringLiteral("), во фрагментах: ") +
                problems.unencodable.join(QStringLiteral(", ")) + QStringLiteral(".\n\r");
    if (!problems.lineBreaks.isEmpty())
        text += QStringLiteral("Перевод строки или нулевой символ в тексте фрагментов: ") +
                problems.lineBreaks.join(QStringLiteral(", ")) + QStringLiteral(".\n\r");
    return text + what;
}

} // namespace marks
