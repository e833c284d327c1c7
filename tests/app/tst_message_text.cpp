// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/message_text.h"

#include <QAbstractTextDocumentLayout>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

using app::fileDialogFilter;
using app::messageHtml;

namespace {

QString shown(const QTextBlock& b) {
    return b.text().replace(QChar(0x00A0), u' ');
}

// The lines outside tables, in order; a blank line shows as " ", while the document's own
// empty block after a table does not count.
QStringList textLines(const QTextDocument& doc) {
    QStringList lines;
    for (QTextFrame::iterator it = doc.rootFrame()->begin(); !it.atEnd(); ++it)
        if (it.currentBlock().isValid() && !it.currentBlock().text().isEmpty())
            lines << shown(it.currentBlock());
    return lines;
}

QList<QTextTable*> tables(const QTextDocument& doc) {
    QList<QTextTable*> out;
    for (QTextFrame* f : doc.rootFrame()->childFrames())
        if (auto* t = qobject_cast<QTextTable*>(f))
            out << t;
    return out;
}

QString cell(QTextTable* t, int row, int column) {
    return shown(t->cellAt(row, column).firstCursorPosition().block());
}

} // namespace

class TestMessageText : public QObject {
    Q_OBJECT
private slots:
    void lineBreaks_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("LF CR") << "a\n\rb" << QStringList{"a", "b"};
        QTest::newRow("CR LF") << "a\r\nb" << QStringList{"a", "b"};
        QTest::newRow("LF") << "a\nb" << QStringList{"a", "b"};
        QTest::newRow("paragraph") << "head:\r\n\nbody" << QStringList{"head:", " ", "body"};
        QTest::newRow("two line ends") << "a\n\r\n\rb" << QStringList{"a", " ", "b"};
        QTest::newRow("trailing breaks dropped") << "a\n\r\n\r" << QStringList{"a"};
        QTest::newRow("leading blanks kept") << "   x\n\r    y" << QStringList{"   x", "    y"};
        QTest::newRow("markup is text") << "<CTRL+Q> & 'q'" << QStringList{"<CTRL+Q> & 'q'"};
        QTest::newRow("lone CR dropped") << "a\rb" << QStringList{"ab"};
    }
    void lineBreaks() {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        QTextDocument doc;
        doc.setHtml(messageHtml(text));
        QCOMPARE(textLines(doc), lines);
        QVERIFY(tables(doc).isEmpty());
    }

    void tabbedLinesBecomeColumns_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("columns");
        QTest::addColumn<QStringList>("lastRow");
        QTest::newRow("shortcuts") << "<CTRL+C>\tПодключение\n\r<CTRL+Q>\tВыход" << 2 << 2
                                   << QStringList{"<CTRL+C>", "Подключение", "<CTRL+Q>", "Выход"};
        // Extra tabs only served tab stops: they do not make extra columns.
        QTest::newRow("port list")
            << "COM1:\t/dev/a\t\tSim\nCOM12:\t/dev/ttyUSB0\tUSB adapter\n"
            << 2 << 3
            << QStringList{"COM1:", "/dev/a", "Sim", "COM12:", "/dev/ttyUSB0", "USB adapter"};
        QTest::newRow("indented") << "\tОТКРЫТЬ >>\n\r\t >> Номер" << 2 << 2
                                  << QStringList{"", "ОТКРЫТЬ >>", "", " >> Номер"};
    }
    void tabbedLinesBecomeColumns() {
        QFETCH(QString, text);
        QFETCH(int, rows);
        QFETCH(int, columns);
        QFETCH(QStringList, lastRow);
        QTextDocument doc;
        doc.setHtml(messageHtml(text));
        const QList<QTextTable*> t = tables(doc);
        QCOMPARE(t.size(), 1);
        QCOMPARE(t[0]->rows(), rows);
        QCOMPARE(t[0]->columns(), columns);
        QStringList cells;
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c)
                cells << cell(t[0], r, c);
        QCOMPARE(cells, lastRow);
    }

    // A read-out: header, blank line, labelled values lined up whatever the labels' lengths.
    void readOutColumnsLineUp() {
        const QString text = QStringLiteral("УСТАВКИ ( K309 ) :\r\n\n"
                                            "Напряжение\t\t: 300 В\n\r"
                                            "Частота капель самая длинная\t: 64 кГц\n\r"
                                            "Строк\t\t\t: 2");
        QTextDocument doc;
        doc.setHtml(messageHtml(text));
        QCOMPARE(textLines(doc), (QStringList{"УСТАВКИ ( K309 ) :", " "}));
        const QList<QTextTable*> t = tables(doc);
        QCOMPARE(t.size(), 1);
        QCOMPARE(t[0]->rows(), 3);
        QCOMPARE(t[0]->columns(), 2);
        QAbstractTextDocumentLayout* layout = doc.documentLayout();
        const qreal x0 =
            layout->blockBoundingRect(t[0]->cellAt(0, 1).firstCursorPosition().block()).x();
        for (int r = 1; r < 3; ++r)
            QCOMPARE(
                layout->blockBoundingRect(t[0]->cellAt(r, 1).firstCursorPosition().block()).x(),
                x0);
        QVERIFY(x0 >
                layout->blockBoundingRect(t[0]->cellAt(0, 0).firstCursorPosition().block()).x());
    }

    void nothingWraps() {
        const QString text = QStringLiteral("Ошибка при чтении данных из Маркиратора (COM1)!\n\r"
                                            "Длинная метка\t: значение с пробелами");
        QTextDocument doc;
        doc.setHtml(messageHtml(text));
        doc.setTextWidth(60);
        doc.size(); // lays the document out
        for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
            QVERIFY2(b.layout()->lineCount() <= 1, qPrintable(b.text()));
        const QTextTable* t = tables(doc).value(0);
        QVERIFY(t);
        const QTextBlock value = t->cellAt(0, 1).firstCursorPosition().block();
        QCOMPARE(value.layout()->lineCount(), 1);
    }

    // Every character of the text: fixed-pitch or not, taken from the laid-out document.
    void blankAlignedRunsAreFixedPitch_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("piece"); // a piece of one line or table cell
        QTest::addColumn<bool>("fixed");
        const QString map = "000 001 ---  ---    | 000:007\n\r---  ---  ---  ---    | 008:015\n\r";
        QTest::newRow("map rows") << map << "001 ---" << true;
        QTest::newRow("map with tabs")
            << "01   --    --    \t| 00:09\n\r10   --    12   \t| 10:19\n\r"
            << "10   --" << true;
        QTest::newRow("tab-aligned read-out")
            << "Заряд тестовых капель\t\t96\n\rЧисло защитных капель\t\t4"
            << "96" << false;
        QTest::newRow("one wide gap in a sentence") << "ВЕРСИЯ:   Inkwick  4.0\n\rдля ОС"
                                                    << "Inkwick" << false;
        QTest::newRow("label and value lines") << "Функция: ТЕКСТ\n\rШрифт:   03\n\rТекст:   'abc'."
                                               << "03" << true;
    }
    void blankAlignedRunsAreFixedPitch() {
        QFETCH(QString, text);
        QFETCH(QString, piece);
        QFETCH(bool, fixed);
        QTextDocument doc;
        doc.setHtml(messageHtml(text));
        const QTextCursor found = doc.find(piece);
        QVERIFY2(!found.isNull(), qPrintable(piece));
        const QStringList families = found.charFormat().fontFamilies().toStringList();
        QCOMPARE(families.contains(QStringLiteral("Courier New")), fixed);
    }

    void fileFilters_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("qt");
        QTest::newRow("one") << "Текстовые Марки|*.mrt"
                             << "Текстовые Марки (*.mrt)";
        QTest::newRow("several") << "Логотипы|*.bin;*.pbm|Все файлы|*.*"
                                 << "Логотипы (*.bin *.pbm);;Все файлы (*.*)";
        QTest::newRow("patterns already shown")
            << "Графика (*bmp,*bin,*pbm)|*.bmp;*.bin;*.pbm|BMP-файлы (*.bmp)|*.bmp"
            << "Графика (*.bmp *.bin *.pbm);;BMP-файлы (*.bmp)";
        QTest::newRow("empty") << ""
                               << "";
    }
    void fileFilters() {
        QFETCH(QString, filter);
        QFETCH(QString, qt);
        QCOMPARE(fileDialogFilter(filter), qt);
    }
};

QTEST_MAIN(TestMessageText)
#include "tst_message_text.moc"
