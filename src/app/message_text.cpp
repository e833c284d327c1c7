// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/message_text.h"

#include <QRegularExpression>
#include <QStringList>

namespace app {

namespace {

QStringList splitLines(const QString& text) {
    QStringList lines;
    QString current;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n;) {
        if (text.mid(i, 3) == QLatin1String("\r\n\n")) {
            lines << current << QString();
            current.clear();
            i += 3;
        } else if (text.mid(i, 2) == QLatin1String("\n\r") ||
                   text.mid(i, 2) == QLatin1String("\r\n")) {
            lines << current;
            current.clear();
            i += 2;
        } else if (text[i] == u'\n') {
            lines << current;
            current.clear();
            ++i;
        } else {
            if (text[i] != u'\r')
                current += text[i];
            ++i;
        }
    }
    lines << current;
    // Texts end with their line breaks; trailing blank lines only pad the box.
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    return lines;
}

// Columns lined up with runs of blanks (the area maps, the fragment read-out) only line up in a
// fixed-pitch font; "Courier New" is Liberation Mono where it is not installed.
bool blankAligned(const QString& line) {
    static const QRegularExpression innerBlanks(QStringLiteral("\\S {2,}\\S"));
    return line.contains(innerBlanks);
}

// Blanks become non-breaking so indentation survives and nothing wraps.
QString cellHtml(const QString& piece, bool fixedPitch) {
    QString html = piece.toHtmlEscaped();
    html.replace(u' ', QChar(0x00A0));
    if (fixedPitch && !piece.trimmed().isEmpty())
        html = QStringLiteral("<span style=\"font-family:'Courier New'\">") + html +
               QStringLiteral("</span>");
    return html;
}

QString lineHtml(const QString& line, bool fixedPitch) {
    const QString body = line.isEmpty() ? QString(QChar(0x00A0)) : cellHtml(line, fixedPitch);
    return QStringLiteral("<p style=\"margin:0px; white-space:pre\">") + body +
           QStringLiteral("</p>");
}

QString tableHtml(const QStringList& rows, const QList<bool>& fixedPitch) {
    static const QRegularExpression tabs(QStringLiteral("\t+"));
    QList<QStringList> cells;
    qsizetype columns = 0;
    for (const QString& row : rows) {
        cells << row.split(tabs);
        columns = qMax(columns, cells.last().size());
    }
    QString html = QStringLiteral("<table cellspacing=\"0\" cellpadding=\"0\">");
    for (qsizetype r = 0; r < cells.size(); ++r) {
        const QStringList& row = cells[r];
        html += QStringLiteral("<tr>");
        for (qsizetype c = 0; c < row.size(); ++c) {
            const bool last = c == row.size() - 1;
            const qsizetype span = last ? columns - c : 1;
            html += QStringLiteral("<td nowrap");
            if (span > 1)
                html += QStringLiteral(" colspan=\"%1\"").arg(span);
            html += QStringLiteral(" style=\"padding-right:16px; white-space:pre\">") +
                    cellHtml(row[c], fixedPitch[r]) + QStringLiteral("</td>");
        }
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

} // namespace

QString messageHtml(const QString& text) {
    const QStringList lines = splitLines(text);
    // A line goes fixed-pitch when it and a neighbour are lined up with blanks: one such line
    // alone is only a wide gap in a sentence.
    QList<bool> fixedPitch(lines.size(), false);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        fixedPitch[i] =
            blankAligned(lines[i]) && ((i > 0 && blankAligned(lines[i - 1])) ||
                                       (i + 1 < lines.size() && blankAligned(lines[i + 1])));
    }
    QString html;
    for (qsizetype i = 0; i < lines.size();) {
        if (lines[i].contains(u'\t')) {
            QStringList rows;
            QList<bool> rowsFixed;
            while (i < lines.size() && lines[i].contains(u'\t')) {
                rowsFixed << fixedPitch[i];
                rows << lines[i++];
            }
            html += tableHtml(rows, rowsFixed);
        } else {
            html += lineHtml(lines[i], fixedPitch[i]);
            ++i;
        }
    }
    return html;
}

QString fileDialogFilter(const QString& filter) {
    // A description may already show its patterns; Qt reads the last parentheses, so keep one.
    static const QRegularExpression shownPatterns(QStringLiteral("\\s*\\([^()]*\\*[^()]*\\)\\s*$"));
    const QStringList parts = filter.split(u'|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        QString description = parts[i];
        description.remove(shownPatterns);
        out << description.trimmed() + QStringLiteral(" (") + patterns.simplified() + u')';
    }
    return out.join(QStringLiteral(";;"));
}

} // namespace app
