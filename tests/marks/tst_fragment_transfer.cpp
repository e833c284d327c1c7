// SPDX-License-Identifier: GPL-3.0-or-later
#include "mark_rig.h"
#include "marks/fragment_transfer.h"

#include <QTest>

using namespace platform;

using namespace marks;

class TestFragmentTransfer : public QObject {
    Q_OBJECT
private slots:
    void readAsksLineAndFragment_data();
    void readAsksLineAndFragment();
    void readShowsTheRecord();
    void readFailureIsReported();
    void write_data();
    void write();
    void writeRefusesWhatARecordCannotHold_data();
    void writeRefusesWhatARecordCannotHold();
    void writeFailureIsReported();
};

void TestFragmentTransfer::readAsksLineAndFragment_data() {
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QByteArray>("request"); // empty: nothing sent
    QTest::newRow("2 and 5") << QStringList{"2", "5"} << QByteArray::fromHex("1132350E");
    QTest::newRow("9 and 0 become 1 and 1")
        << QStringList{"9", "0"} << QByteArray::fromHex("1131310E");
    QTest::newRow("4 and 8") << QStringList{" 4", "8x"} << QByteArray::fromHex("1134380E");
    QTest::newRow("line prompt closed") << QStringList{""} << QByteArray();
    QTest::newRow("fragment prompt closed") << QStringList{"3", ""} << QByteArray();
}

void TestFragmentTransfer::readAsksLineAndFragment() {
    QFETCH(QStringList, answers);
    QFETCH(QByteArray, request);
    MarkRig m;
    for (const QString& a : answers)
        m.dialogs.answer(a);
    readFragment(m.session());

    QVERIFY(m.dialogs.unexpected.isEmpty());
    const auto& first = m.dialogs.shown.at(0);
    QCOMPARE(first.title, QStringLiteral("Чтение Фрагмента Марки"));
    QCOMPARE(first.text, QStringLiteral("Введите Номер Строки (1...4)"));
    QCOMPARE(first.extra, QStringLiteral("1"));
    if (answers.size() > 1)
        QCOMPARE(m.dialogs.shown.at(1).text,
                 QStringLiteral("Введите Номер Фрагмента в Строке (1...8)"));
    QCOMPARE(m.rig.printer.received, request);
    QCOMPARE(m.dialogs.messages().size(), request.isEmpty() ? 0 : 1);
}

void TestFragmentTransfer::readShowsTheRecord() {
    MarkRig m;
    QByteArray mark(kMarkDataSize, '\0');
    // Fragment 3 of line 2 is record 4 * 2 + 1.
    const QByteArray rec("\x18\x03\x06\xCC\xEE\xEB\xEE\xEA\xEE", 9);
    mark.replace(9 * kRecordSize, rec.size(), rec);
    m.state.marks[0] = mark;
    const MarkRows before = m.doc.model().rows();
    m.dialogs.answer("2").answer("3");

    readFragment(m.session());

    QCOMPARE(m.messageTexts(),
             QStringList{"Информация Системы Печати | ФРАГМЕНТ #23:\r\n\nФункция: ТЕКСТ\n\r"
                         "Шрифт:   03\n\rТекст:   'Молоко'."});
    QCOMPARE(m.dialogs.last().icon, MessageIcon::Information);
    const QList<QPair<LampTarget, Lamp>> lamps{{LampTarget::Both, Lamp::Transfer},
                                               {LampTarget::Both, Lamp::Idle}};
    QCOMPARE(m.rig.status.lampHistory, lamps);
    QCOMPARE(m.doc.model().rows(), before);
}

void TestFragmentTransfer::readFailureIsReported() {
    MarkRig m;
    m.rig.printer.faults.silent = true;
    m.dialogs.answer("1").answer("1");
    readFragment(m.session());
    QCOMPARE(m.messageTexts(),
             QStringList{"ОШИБКА | Ошибка при чтении данных из Маркиратора (COM1)!"});
    QCOMPARE(m.rig.status.textMarkLamp, Lamp::Error);
    QCOMPARE(m.rig.status.graphicLamp, Lamp::Error);
}

void TestFragmentTransfer::write_data() {
    QTest::addColumn<int>("clickRow"); // -1: no row clicked since start
    QTest::addColumn<QString>("function");
    QTest::addColumn<QString>("font");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QString>("question");

    QTest::newRow("ABC running number font 2 at 23")
        << 10 << "Номер"
        << "Шрифт#02"
        << "ABC"
        << QByteArray::fromHex("19323332414243"
                               "0E")
        << "ИЗМЕНИТЬ ФРАГМЕНТ # 23 ?\n\rфункция:\tНомер\n\rшрифт:\t02\n\rтекст:\tABC";
    QTest::newRow("font 12, Cyrillic, at 48")
        << 31 << "Текст"
        << "Шрифт#12"
        << "Да"
        << QByteArray::fromHex("1834383CC4E0"
                               "0E")
        << "ИЗМЕНИТЬ ФРАГМЕНТ # 48 ?\n\rфункция:\tТекст\n\rшрифт:\t12\n\rтекст:\tДа";
    QTest::newRow("no row clicked, empty text")
        << -1 << "ПостДата"
        << "Шрифт#15"
        << "" << QByteArray::fromHex("1D30303F0E")
        << "ИЗМЕНИТЬ ФРАГМЕНТ # 00 ?\n\rфункция:\tПостДата\n\rшрифт:\t15\n\rтекст:\t";
    QTest::newRow("44 characters")
        << 0 << "Графика"
        << "Шрифт#00" << QString(44, 'g')
        << QByteArray::fromHex("1C313130") + QByteArray(44, 'g') + '\x0E'
        << "ИЗМЕНИТЬ ФРАГМЕНТ # 11 ?\n\rфункция:\tГрафика\n\rшрифт:\t00\n\rтекст:\t" +
               QString(44, 'g');
}

void TestFragmentTransfer::write() {
    QFETCH(int, clickRow);
    QFETCH(QString, function);
    QFETCH(QString, font);
    QFETCH(QString, text);
    QFETCH(QByteArray, request);
    QFETCH(QString, question);

    for (const bool yes : {false, true}) {
        MarkRig m;
        if (clickRow >= 0)
            m.doc.clickRow(clickRow);
        m.doc.setFunctionText(function);
        m.doc.setFontText(font);
        m.doc.setFragmentText(text);
        const MarkRows before = m.doc.model().rows();
        m.dialogs.answer(yes ? MessageAnswer::Yes : MessageAnswer::No);

        writeFragment(m.session());

        QCOMPARE(m.messageTexts(), QStringList{"Изменение Печатной Марки | " + question});
        QCOMPARE(m.dialogs.last().icon, MessageIcon::Warning);
        QCOMPARE(m.dialogs.last().buttons, MessageButtons::YesNo);
        QCOMPARE(m.rig.printer.received, yes ? request : QByteArray());
        QCOMPARE(m.rig.status.textMarkLamp, yes ? Lamp::Idle : Lamp::Grey);
        QCOMPARE(m.rig.status.graphicLamp, Lamp::Grey);
        QCOMPARE(m.doc.model().rows(), before);
    }
}

void TestFragmentTransfer::writeRefusesWhatARecordCannotHold_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("45 characters")
        << QString(45, 'a')
        << "ОШИБКА | Текст фрагмента длиннее 44 символов (45).\n\rФрагмент не записан.";
    QTest::newRow("300 characters")
        << QString(300, 'a')
        << "ОШИБКА | Текст фрагмента длиннее 44 символов (300).\n\rФрагмент не записан.";
    QTest::newRow("character outside Windows-1251")
        << QStringLiteral("Ωmega")
        << "ОШИБКА | Символы, которых нет в кодировке Windows-1251: Ω.\n\rФрагмент не записан.";
}

void TestFragmentTransfer::writeRefusesWhatARecordCannotHold() {
    QFETCH(QString, text);
    QFETCH(QString, message);
    MarkRig m;
    m.doc.clickRow(3);
    m.doc.setFragmentText(text);
    writeFragment(m.session());
    QCOMPARE(m.messageTexts(), QStringList{message});
    QVERIFY(m.rig.printer.received.isEmpty());
    QVERIFY(m.rig.status.lampHistory.isEmpty());
}

void TestFragmentTransfer::writeFailureIsReported() {
    MarkRig m;
    m.rig.printer.faults.refuseWrite = true;
    m.dialogs.answer(MessageAnswer::Yes);
    writeFragment(m.session());
    QCOMPARE(m.messageTexts().size(), 2);
    QCOMPARE(m.messageTexts().last(), QStringLiteral("ОШИБКА | Ошибка записи данных в порт COM1!"));
    QCOMPARE(m.rig.status.textMarkLamp, Lamp::Error);
    QCOMPARE(m.rig.status.graphicLamp, Lamp::Grey);
}

QTEST_MAIN(TestFragmentTransfer)
#include "tst_fragment_transfer.moc"
