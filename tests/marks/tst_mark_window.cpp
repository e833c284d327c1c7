// SPDX-License-Identifier: GPL-3.0-or-later
#include "mark_rig.h"
#include "marks/mark_preview.h"
#include "marks/widgets/mark_window.h"

#include <QAbstractItemModelTester>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

using namespace marks;

namespace {

struct Window {
    MarkRig m;
    MarkWindow w{m.session()};
    MarkDocument& doc = m.doc;

    Window() {
        w.resize(w.sizeHint());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
    }
    void click(int row, Qt::MouseButton button = Qt::LeftButton) {
        QTableView* t = w.table();
        t->scrollTo(t->model()->index(row, 0));
        const QRect cell = t->visualRect(t->model()->index(row, 3));
        QTest::mouseClick(t->viewport(), button, {}, cell.center());
    }
    void type(const QString& text) {
        w.textField()->clear();
        // QTest types ASCII only; other text arrives as an input method would commit it.
        bool ascii = true;
        for (const QChar c : text)
            ascii = ascii && c.unicode() < 0x80;
        if (ascii)
            QTest::keyClicks(w.textField(), text);
        else
            w.textField()->insert(text);
    }
    void change() { QTest::mouseClick(w.changeButton(), Qt::LeftButton); }
    QStringList row(int r) const {
        const MarkRow& cells = doc.model().rows()[r];
        return {cells.begin(), cells.end()};
    }
};

} // namespace

class TestMarkWindow : public QObject {
    Q_OBJECT
private slots:
    void modelPassesTheModelTester();
    void startState();
    void clickLoadsTheRowIntoTheEditor_data();
    void clickLoadsTheRowIntoTheEditor();
    void keyboardSelectsTheRowAsAClickDoes();
    void pasteKeepsTheFirstLine_data();
    void pasteKeepsTheFirstLine();
    void changeStoresTheEditor_data();
    void changeStoresTheEditor();
    void changeWithoutSelectionDoesNothing();
    void previewAlignsFragmentsByTheWidestText();
};

void TestMarkWindow::modelPassesTheModelTester() {
    MarkModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.setCellText(5, TextColumn, "x");
    model.setCellText(5, TextColumn, "x");
    model.setCellText(32, 0, "out of range");
    model.setCellText(0, 5, "out of range");
    model.setRows(richMark());
    QCOMPARE(changed.count(), 2);
    QCOMPARE(model.cellText(32, 0), QString());
    QCOMPARE(model.index(5, 3).data().toString(), richMark()[5][TextColumn]);
}

void TestMarkWindow::startState() {
    Window win;
    QTableView* t = win.w.table();
    QCOMPARE(t->model()->rowCount(), 32);
    QStringList headers;
    QList<int> widths;
    for (int c = 0; c < kColumnCount; ++c) {
        headers << t->model()->headerData(c, Qt::Horizontal).toString();
        widths << t->columnWidth(c);
    }
    QCOMPARE(headers, (QStringList{"Nфрг", "Функция", "Шрифт", "    Текст Фрагмента", "своб"}));
    QCOMPARE(widths, (QList<int>{50, 90, 50, 505, 40}));
    QCOMPARE(t->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(t->selectionMode(), QAbstractItemView::SingleSelection);
    QCOMPARE(win.row(0), (QStringList{"11", "Текст", " 02", "", "44"}));
    QCOMPARE(win.row(7)[0], QStringLiteral("18"));
    QCOMPARE(win.row(8)[0], QStringLiteral("21"));
    QCOMPARE(win.row(31), (QStringList{"48", "Текст", " 02", "", "44"}));

    QCOMPARE(win.w.functionSelector()->count(), 6);
    QCOMPARE(win.w.functionSelector()->currentText(), QStringLiteral("Текст"));
    QCOMPARE(win.w.fontSelector()->count(), 16);
    QCOMPARE(win.w.fontSelector()->itemText(15), QStringLiteral("Шрифт#15"));
    QCOMPARE(win.w.fontSelector()->currentText(), QStringLiteral("Шрифт#02"));
    QCOMPARE(win.w.textField()->text(), QString());
    QCOMPARE(win.w.textField()->palette().color(QPalette::Base), QColor(255, 255, 187));
    QCOMPARE(win.w.changeButton()->text(), QStringLiteral("ИЗМЕНИТЬ"));
    QCOMPARE(win.doc.selectedFragment(), QStringLiteral("00"));
    QCOMPARE(win.doc.selectedRow(), -1);
    QCOMPARE(win.w.previewArea()->horizontalScrollBar()->singleStep(), 160);
    QCOMPARE(win.w.previewLabel()->pixmap().size(), QSize(kPreviewWidth, kPreviewHeight));
    // Everything fits the child window of an 800 x 600 main window.
    QVERIFY(win.w.sizeHint().width() <= 800 && win.w.sizeHint().height() <= 550);
    for (QWidget* child : win.w.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        QVERIFY(QRect(QPoint(0, 0), win.w.sizeHint()).contains(child->geometry()));
}

void TestMarkWindow::clickLoadsTheRowIntoTheEditor_data() {
    QTest::addColumn<QStringList>("cells"); // function, font, text of row 12
    QTest::addColumn<QString>("function");
    QTest::addColumn<QString>("font");
    QTest::newRow("plain") << QStringList{"Дата/Время", " 07", "abc"} << "Дата/Время"
                           << "Шрифт#07";
    QTest::newRow("letter case ignored") << QStringList{"шТРИХкОД ean", " 13", ""} << "ШтрихКод EAN"
                                         << "Шрифт#13";
    QTest::newRow("? keeps the function selector") << QStringList{"?", " 15", "x"} << "Графика"
                                                   << "Шрифт#15";
    QTest::newRow("three-digit code keeps it too") << QStringList{" 007", " 016", "x"} << "Графика"
                                                   << "Шрифт#16?";
    QTest::newRow("#02 selects font 2") << QStringList{"Номер", " #02", "y"} << "Номер"
                                        << "Шрифт#02";
    QTest::newRow("text over 44 from a file")
        << QStringList{"Текст", " 03", QString(50, 'L')} << "Текст"
        << "Шрифт#03";
}

void TestMarkWindow::clickLoadsTheRowIntoTheEditor() {
    QFETCH(QStringList, cells);
    QFETCH(QString, function);
    QFETCH(QString, font);
    Window win;
    // What the selectors showed before the click: row 0 as "Графика", font 11.
    win.doc.model().setCellText(0, FunctionColumn, "Графика");
    win.doc.model().setCellText(0, FontColumn, " 11");
    win.click(0);
    for (int c = 0; c < 3; ++c)
        win.doc.model().setCellText(12, FunctionColumn + c, cells.at(c));

    win.click(12);

    QCOMPARE(win.doc.selectedFragment(), QStringLiteral("25"));
    QCOMPARE(win.doc.selectedRow(), 12);
    QCOMPARE(win.w.functionSelector()->currentText(), function);
    // A font the selector does not have (16) leaves it where it was.
    QCOMPARE(win.w.fontSelector()->currentText(),
             font.endsWith('?') ? QStringLiteral("Шрифт#11") : font);
    QCOMPARE(win.w.textField()->text(), cells.at(2));
    QCOMPARE(win.w.table()->selectionModel()->selectedRows().size(), 1);
    QCOMPARE(win.w.table()->selectionModel()->selectedRows().first().row(), 12);
}

void TestMarkWindow::keyboardSelectsTheRowAsAClickDoes() {
    Window win;
    win.doc.model().setCellText(5, TextColumn, "five");
    win.click(4);
    QTest::keyClick(win.w.table(), Qt::Key_Down);
    QCOMPARE(win.doc.selectedRow(), 5);
    QCOMPARE(win.doc.selectedFragment(), win.row(5)[NumberColumn]);
    QCOMPARE(win.w.textField()->text(), QStringLiteral("five"));
    win.type("kbd");
    win.change();
    QCOMPARE(win.row(5)[TextColumn], QStringLiteral("kbd"));
    QCOMPARE(win.row(4)[TextColumn], QString());
    // A row the program selects (after a mark read) leaves the editor and the address alone.
    win.doc.selectRow(9);
    QCOMPARE(win.doc.selectedFragment(), win.row(5)[NumberColumn]);
    QCOMPARE(win.w.textField()->text(), QStringLiteral("kbd"));
}

void TestMarkWindow::pasteKeepsTheFirstLine_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("after");
    QTest::newRow("two lines into an empty field") << "" << 0 << "first\nsecond"
                                                   << "first";
    QTest::newRow("CR LF in the middle of a text") << "ab" << 1 << "x\r\ny"
                                                   << "axb";
    QTest::newRow("a NUL") << "" << 0 << QStringLiteral("nul") + QChar(0) + "z"
                           << "nul";
    QTest::newRow("break first: nothing of the paste") << "ab" << 2 << "\nrest"
                                                       << "ab";
    QTest::newRow("one line is kept whole") << "ab" << 2 << "cd"
                                            << "abcd";
}

void TestMarkWindow::pasteKeepsTheFirstLine() {
    QFETCH(QString, before);
    QFETCH(int, cursor);
    QFETCH(QString, pasted);
    QFETCH(QString, after);
    Window win;
    win.click(3);
    QLineEdit* field = win.w.textField();
    field->setText(before);
    field->setCursorPosition(cursor);
    QGuiApplication::clipboard()->setText(pasted);
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(field->text(), after);
    QCOMPARE(win.doc.fragmentText(), after);
    win.change();
    QCOMPARE(win.row(3)[TextColumn], after);
}

void TestMarkWindow::changeStoresTheEditor_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("functionIndex");
    QTest::addColumn<int>("fontIndex");
    QTest::addColumn<QStringList>("row"); // columns 1..4 after the change
    QTest::newRow("50 typed, 44 stored")
        << QString(50, 'z') << 1 << 7 << QStringList{"Номер", " 07", QString(44, 'z'), "0"};
    QTest::newRow("Cyrillic") << QStringLiteral("Годен до") << 5 << 15
                              << QStringList{"ШтрихКод EAN", " 15", "Годен до", "36"};
    QTest::newRow("empty") << QString() << 0 << 0 << QStringList{"Текст", " 00", "", "44"};
}

void TestMarkWindow::changeStoresTheEditor() {
    QFETCH(QString, typed);
    QFETCH(int, functionIndex);
    QFETCH(int, fontIndex);
    QFETCH(QStringList, row);
    Window win;
    win.doc.model().setCellText(20, TextColumn, "before");
    win.click(20);
    QSignalSpy redraws(&win.doc, &MarkDocument::previewChanged);
    win.w.functionSelector()->setCurrentIndex(functionIndex);
    win.w.fontSelector()->setCurrentIndex(fontIndex);
    win.type(typed);

    win.change();

    QCOMPARE(win.row(20), QStringList{"35"} + row);
    QCOMPARE(win.w.textField()->text(), typed);
    QCOMPARE(redraws.count(), 1);
}

void TestMarkWindow::changeWithoutSelectionDoesNothing() {
    Window win;
    QSignalSpy redraws(&win.doc, &MarkDocument::previewChanged);
    QSignalSpy changed(&win.doc.model(), &QAbstractItemModel::dataChanged);
    win.type("lost");
    win.change();
    QCOMPARE(changed.count(), 0);
    QCOMPARE(redraws.count(), 0);

    // "?" from a read keeps the selector; the change then writes the selector's name.
    win.doc.model().setCellText(2, FunctionColumn, "?");
    win.w.functionSelector()->setCurrentIndex(3);
    win.click(2);
    win.change();
    QCOMPARE(win.row(2)[FunctionColumn], QStringLiteral("Графика"));
}

void TestMarkWindow::previewAlignsFragmentsByTheWidestText() {
    Window win;
    MarkRows rows = initialRows();
    rows[0][TextColumn] = "ab";      // line 1, fragment 1
    rows[24][TextColumn] = "abcdef"; // line 4, fragment 1
    rows[1][TextColumn] = "X";       // line 1, fragment 2
    rows[25][TextColumn] = "Y";      // line 4, fragment 2
    win.doc.model().setRows(rows);
    win.doc.redrawPreview();

    const int wide = previewTextWidth("abcdef");
    QVERIFY(wide > previewTextWidth("ab"));
    const auto starts = previewColumnStarts(rows);
    QCOMPARE(starts[0], 0);
    QCOMPARE(starts[1], wide);
    QCOMPARE(starts[2], wide + qMax(previewTextWidth("X"), previewTextWidth("Y")));
    QCOMPARE(starts[3], starts[2]); // empty fragments take no room

    const QImage image =
        win.w.previewLabel()->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(image.size(), QSize(kPreviewWidth, kPreviewHeight));
    const QColor cell(239, 225, 250);
    const auto colourAt = [&](int x, int y) { return QColor(image.pixel(x, y)); };
    // The cell background lies behind each text only: line 1 at the bottom, line 4 at the top.
    const int height = QFontMetrics(previewFont()).height();
    QCOMPARE(colourAt(wide + 1, 61 + height - 1), cell);
    QCOMPARE(colourAt(wide + 1, 1), cell);
    QCOMPARE(colourAt(previewTextWidth("ab") + 1, 62), QColor(Qt::white));
    QCOMPARE(colourAt(wide + 1, 30), QColor(Qt::white)); // lines 2 and 3 are empty
    QCOMPARE(colourAt(kPreviewWidth - 1, 70), QColor(Qt::white));
    bool blue = false;
    for (int x = 0; x < wide && !blue; ++x)
        for (int y = 1; y < 1 + height && !blue; ++y)
            blue = colourAt(x, y).blue() > 200 && colourAt(x, y).red() < 100;
    QVERIFY(blue);
}

QTEST_MAIN(TestMarkWindow)
#include "tst_mark_window.moc"
