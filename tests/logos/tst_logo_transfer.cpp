// SPDX-License-Identifier: GPL-3.0-or-later
#include "logos/logo_document.h"
#include "logos/logo_transfer.h"
#include "test_rig.h"

#include <QtTest>

using namespace platform;
using namespace logos;
using namespace printerlink;

namespace {

using Command = void (*)(Session&);
using LampSteps = QList<QPair<LampTarget, Lamp>>;

// A slot as the printer stores it: X, R, the columns, zero fill to 256 bytes.
QByteArray slotPayload(int width, int byteRows, const QByteArray& columns) {
    QByteArray out;
    out.append(char(width)).append(char(byteRows)).append(columns);
    out.append(QByteArray(256 - out.size(), '\0'));
    return out;
}

QByteArray request(const char* text, int length = -1) {
    return QByteArray(text, length < 0 ? int(qstrlen(text)) : length);
}

struct Rig : TestRig {
    logos::LogoDocument logo;
    Rig() {
        session.logo = &logo;
        logo.newLogo(64, 24);
        connect();
    }
    QByteArray file(const QString& name) const {
        QFile f(session.workDir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

// Dots of a logo as text rows, for whole-picture comparisons.
QStringList dotRows(const logos::LogoDocument& logo) {
    QStringList rows;
    for (int y = 0; y < logo.height(); ++y) {
        QString row;
        for (int x = 0; x < logo.width(); ++x)
            row += logo.isDot(x, y) ? QLatin1Char('#') : QLatin1Char('.');
        rows.append(row);
    }
    return rows;
}

} // namespace

Q_DECLARE_METATYPE(LampSteps)

class LogoTransfer : public QObject {
    Q_OBJECT

private slots:
    void readingSlot7SavesTheFileAndLoadsTheLogo() {
        Rig rig;
        QByteArray columns(63 * 4, '\0');
        columns[0] = 0x01;                // column 0: bottom dot
        columns[62 * 4 + 3] = char(0x80); // column 62: top dot
        rig.printer.state.logos[7] = slotPayload(63, 4, columns);
        rig.dialogs.answer(QStringLiteral("7"));

        readLogoSlot(rig.session);

        QCOMPARE(rig.requests(), QList<QByteArray>{request("\x0Fi007\x0E")});
        QCOMPARE(rig.dialogs.shown.size(), 1);
        QCOMPARE(rig.dialogs.shown[0].title, QStringLiteral("Read Printer LOGO#"));
        QCOMPARE(rig.dialogs.shown[0].text, QStringLiteral("Input Logo Number (0..255)"));
        QCOMPARE(rig.dialogs.shown[0].extra, QString());
        const QByteArray file = rig.file(QStringLiteral("logo007.bin"));
        QCOMPARE(file.size(), 258);
        QCOMPARE(file.left(4), request("\xFE\x00\x3F\x04", 4));
        QCOMPARE(file.mid(4), columns + QByteArray(2, '\0'));
        QCOMPARE(rig.logo.size(), QSize(63, 32));
        QVERIFY(rig.logo.isDot(0, 31));
        QVERIFY(rig.logo.isDot(62, 0));
        QVERIFY(!rig.logo.isDot(0, 30));
        QCOMPARE(rig.logo.currentFile(), rig.session.workDir.filePath("logo007.bin"));
        QCOMPARE(rig.logo.currentExtension(), QStringLiteral("bin"));
        QCOMPARE(rig.status.field(GraphicField::File),
                 QStringLiteral("LOGO#007 (Файл 'logo007.bin')"));
        QCOMPARE(rig.status.field(GraphicField::Size), QStringLiteral("XY-размер: 63x32"));
        QCOMPARE(rig.status.lampHistory, (LampSteps{{LampTarget::Graphic, Lamp::Transfer},
                                                    {LampTarget::Graphic, Lamp::Idle}}));
    }

    void readingChecksTheSlotHeader_data() {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QString>("message"); // empty: accepted
        QTest::addColumn<QSize>("size");
        QTest::newRow("width 200 passes")
            << slotPayload(200, 1, QByteArray(200, '\x01')) << QString() << QSize(200, 8);
        QTest::newRow("width 254 passes")
            << slotPayload(254, 1, QByteArray(254, '\x01')) << QString() << QSize(254, 8);
        QTest::newRow("width 255")
            << slotPayload(255, 1, {}) << "Illegal Logo X-size (255)!" << QSize();
        QTest::newRow("width 0") << slotPayload(0, 1, {}) << "Illegal Logo X-size (0)!" << QSize();
        QTest::newRow("byte rows 0")
            << slotPayload(10, 0, {}) << "Illegal Logo Y-size (0)!" << QSize();
        QTest::newRow("byte rows 5")
            << slotPayload(10, 5, {}) << "Illegal Logo Y-size (5)!" << QSize();
        QTest::newRow("reply of two bytes")
            << QByteArray(1, '\x0A') << "Illegal Logo Y-size (0)!" << QSize();
    }
    void readingChecksTheSlotHeader() {
        QFETCH(QByteArray, payload);
        QFETCH(QString, message);
        QFETCH(QSize, size);
        Rig rig;
        rig.printer.state.logos[42] = payload;
        rig.dialogs.answer(QStringLiteral("42"));

        readLogoSlot(rig.session);

        if (message.isEmpty()) {
            QCOMPARE(rig.dialogs.messages().size(), 0);
            QCOMPARE(rig.logo.size(), size);
            QVERIFY(rig.logo.isDot(size.width() - 1, size.height() - 1));
            QVERIFY(QFile::exists(rig.session.workDir.filePath("logo042.bin")));
        } else {
            QCOMPARE(rig.dialogs.messages().size(), 1);
            QCOMPARE(rig.dialogs.last().title, QStringLiteral("Logo#042 Data Error"));
            QCOMPARE(rig.dialogs.last().text, message);
            QCOMPARE(rig.dialogs.last().icon, MessageIcon::Error);
            QCOMPARE(rig.logo.size(), QSize(64, 24));
            QVERIFY(!rig.logo.hasCurrentFile());
            QVERIFY(!QFile::exists(rig.session.workDir.filePath("logo042.bin")));
            QCOMPARE(rig.status.graphicLamp, Lamp::Idle);
        }
    }

    void readingAnEmptySlot_data() {
        QTest::addColumn<int>("shortReply");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("icon");
        QTest::newRow("no answer") << -1 << "RECEIVE PRINTER LOGO"
                                   << "    LOGO#009 EMPTY.     " << int(MessageIcon::Error);
        QTest::newRow("one byte") << 1 << "Load LOGO from Dropcaster"
                                  << "LOGO#009 is EMPTY or have FORMAT ERROR."
                                  << int(MessageIcon::Information);
    }
    void readingAnEmptySlot() {
        QFETCH(int, shortReply);
        QFETCH(QString, title);
        QFETCH(QString, text);
        QFETCH(int, icon);
        Rig rig;
        if (shortReply > 0) {
            rig.printer.state.logos[9] = slotPayload(8, 1, QByteArray(8, '\x01'));
            rig.printer.faults.shortReply = shortReply;
        }
        rig.dialogs.answer(QStringLiteral("9"));
        rig.logo.setDot(1, 1, true);

        readLogoSlot(rig.session);

        QCOMPARE(rig.dialogs.messages().size(), 1);
        QCOMPARE(rig.dialogs.last().title, title);
        QCOMPARE(rig.dialogs.last().text, text);
        QCOMPARE(int(rig.dialogs.last().icon), icon);
        QCOMPARE(rig.status.graphicLamp, Lamp::Idle);
        QCOMPARE(rig.logo.size(), QSize(64, 24));
        QVERIFY(rig.logo.isDot(1, 1));
        QVERIFY(!QFile::exists(rig.session.workDir.filePath("logo009.bin")));
    }

    void readingASlotOverUnsavedDotsAsksFirst() {
        Rig rig;
        rig.printer.state.logos[7] = slotPayload(8, 1, QByteArray(8, '\x01'));
        rig.logo.paintDot(1, 1, true);
        rig.dialogs.answer(MessageAnswer::Cancel);
        readLogoSlot(rig.session);
        QCOMPARE(rig.dialogs.shown.size(), 1);
        QCOMPARE(rig.dialogs.last().buttons, MessageButtons::YesNoCancel);
        QVERIFY(rig.requests().isEmpty());
        QVERIFY(rig.logo.isDot(1, 1) && rig.logo.isModified());

        rig.dialogs.answer(MessageAnswer::No).answer(QStringLiteral("7"));
        readLogoSlot(rig.session);
        QCOMPARE(rig.dialogs.unexpected, QStringList());
        QCOMPARE(rig.logo.size(), QSize(8, 8));
        QVERIFY(!rig.logo.isModified());
    }

    void slotNumbers_data() {
        QTest::addColumn<int>("command"); // 0 read, 1 write, 2 delete
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<int>("retries");       // repeat questions shown
        QTest::addColumn<QByteArray>("header"); // empty: nothing sent
        QTest::newRow("read 128") << 0 << QStringList{"128"} << 0 << request("\x0Fi128\x0E");
        QTest::newRow("read 255") << 0 << QStringList{"255"} << 0 << request("\x0Fi255\x0E");
        QTest::newRow("read 0 with blanks")
            << 0 << QStringList{"  0"} << 0 << request("\x0Fi000\x0E");
        QTest::newRow("read 256, repeat, 25")
            << 0 << QStringList{"256", "Y", "25"} << 1 << request("\x0Fi025\x0E");
        QTest::newRow("read -1, declined") << 0 << QStringList{"-1", "N"} << 1 << QByteArray();
        QTest::newRow("read cancelled") << 0 << QStringList{""} << 0 << QByteArray();
        QTest::newRow("write 128, declined") << 1 << QStringList{"128", "N"} << 1 << QByteArray();
        QTest::newRow("write 1000 is no slot 100")
            << 1 << QStringList{"1000", "N"} << 1 << QByteArray();
        QTest::newRow("write 127") << 1 << QStringList{"127"} << 0 << request("\x0Fl127\x00", 6);
        QTest::newRow("write cancelled") << 1 << QStringList{""} << 0 << QByteArray();
        QTest::newRow("delete 128, repeat, 3")
            << 2 << QStringList{"128", "Y", "3", "Y"} << 1 << request("\x0Fl003\x0E");
        QTest::newRow("delete not confirmed") << 2 << QStringList{"3", "N"} << 0 << QByteArray();
    }
    void slotNumbers() {
        QFETCH(int, command);
        QFETCH(QStringList, answers);
        QFETCH(int, retries);
        QFETCH(QByteArray, header);
        const Command commands[] = {readLogoSlot, writeLogoSlot, deleteLogoSlot};
        Rig rig;
        rig.logo.newLogo(8, 8);
        rig.printer.state.logos[3] = slotPayload(8, 1, QByteArray(8, '\x01'));
        for (const QString& a : answers) {
            if (a == QLatin1String("Y"))
                rig.dialogs.answer(MessageAnswer::Yes);
            else if (a == QLatin1String("N"))
                rig.dialogs.answer(MessageAnswer::No);
            else
                rig.dialogs.answer(a);
        }

        commands[command](rig.session);

        QCOMPARE(rig.dialogs.unexpected, QStringList());
        QCOMPARE(rig.dialogs.pending(), 0);
        int repeatQuestions = 0;
        for (const auto& box : rig.dialogs.messages()) {
            if (box.title == QStringLiteral("ОШИБКА") && box.buttons == MessageButtons::YesNo)
                ++repeatQuestions;
        }
        QCOMPARE(repeatQuestions, retries);
        if (header.isEmpty()) {
            QVERIFY(rig.printer.received.isEmpty());
        } else {
            QCOMPARE(rig.printer.received.left(6), header);
            QCOMPARE(rig.printer.state.logos[3].isEmpty(), command == 2);
        }
    }

    void writing63x32ToSlot12() {
        Rig rig;
        rig.logo.newLogo(63, 32);
        rig.logo.setDot(0, 31, true);
        rig.logo.setDot(62, 0, true);
        rig.dialogs.answer(QStringLiteral("12"));

        writeLogoSlot(rig.session);

        QByteArray columns(63 * 4, '\0');
        columns[0] = 0x01;
        columns[62 * 4 + 3] = char(0x80);
        const QByteArray payload = slotPayload(63, 4, columns);
        QCOMPARE(rig.printer.received, request("\x0Fl012\x00", 6) + payload);
        QCOMPARE(payload.left(2), request("\x3F\x04"));
        QCOMPARE(rig.printer.state.logos[12], payload);
        QCOMPARE(rig.dialogs.shown[0].title, QStringLiteral("Запись Логотипа в Маркиратор"));
        QCOMPARE(rig.dialogs.shown[0].text, QStringLiteral("Введите номер Логотипа (0..127)"));
        QCOMPARE(rig.dialogs.messages().size(), 1);
        QCOMPARE(rig.dialogs.last().title, QStringLiteral("Запись Логотипа в Маркиратор"));
        QCOMPARE(rig.dialogs.last().text, QStringLiteral("Передача Логотипа #012 завершена."));
        QCOMPARE(rig.dialogs.last().icon, MessageIcon::Information);
        QCOMPARE(rig.status.lampHistory, (LampSteps{{LampTarget::Graphic, Lamp::Transfer},
                                                    {LampTarget::Graphic, Lamp::Idle}}));
        // The printer's acknowledgement was read and dropped.
        QCOMPARE(rig.port.inputWaiting(), 0);
    }

    void aLogoTooLargeForASlotIsRefused_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("252 x 32, beyond the split") << QSize(252, 32);
        QTest::newRow("253 x 8") << QSize(253, 8);
    }
    void aLogoTooLargeForASlotIsRefused() {
        QFETCH(QSize, size);
        Rig rig;
        rig.logo.newLogo(size.width(), size.height());

        writeLogoSlot(rig.session);

        QVERIFY(rig.printer.received.isEmpty());
        QCOMPARE(rig.dialogs.unexpected, QStringList());
        QCOMPARE(rig.dialogs.shown.size(), 1);
        QCOMPARE(rig.dialogs.last().title, QStringLiteral("ОШИБКА"));
        QVERIFY(rig.dialogs.last().text.contains(
            QStringLiteral("%1x%2").arg(size.width()).arg(size.height())));
        QCOMPARE(rig.status.lampHistory, LampSteps{});
    }

    void aWideLogoIsOfferedTheSplitFirst_data() {
        QTest::addColumn<bool>("openFirst");
        QTest::newRow("declined: refused, nothing sent") << false;
        QTest::newRow("accepted: strip 1 is written") << true;
    }
    void aWideLogoIsOfferedTheSplitFirst() {
        QFETCH(bool, openFirst);
        Rig rig;
        rig.logo.newLogo(64, 32);
        rig.logo.setDot(31, 31, true);
        rig.logo.setDot(32, 0, true);
        rig.logo.setCurrentFile(rig.session.workDir.filePath("wide.bmp"), QStringLiteral("bmp"));
        rig.dialogs.answer(openFirst ? MessageAnswer::Yes : MessageAnswer::No);
        if (openFirst)
            rig.dialogs.answer(QStringLiteral("12"));

        writeLogoSlot(rig.session);

        QCOMPARE(rig.dialogs.unexpected, QStringList());
        QCOMPARE(rig.dialogs.shown[0].title, QStringLiteral("Преобразование завершено"));
        QVERIFY(QFile::exists(rig.session.workDir.filePath("wide.bmp_2.bmp")));
        if (openFirst) {
            QCOMPARE(rig.printer.received.left(6), request("\x0Fl012\x00", 6));
            QCOMPARE(rig.printer.state.logos[12].left(2), request("\x20\x04"));
            QCOMPARE(rig.printer.state.logos[12].at(2 + 31 * 4), '\x01');
            QCOMPARE(rig.logo.size(), QSize(32, 32));
        } else {
            QVERIFY(rig.printer.received.isEmpty());
            QCOMPARE(rig.dialogs.last().title, QStringLiteral("ОШИБКА"));
            QVERIFY(rig.dialogs.last().text.contains(QStringLiteral("64x32")));
            QCOMPARE(rig.logo.size(), QSize(64, 32));
        }
    }

    void clearingSlot127AfterTheConfirmation() {
        Rig rig;
        rig.printer.state.logos[127] = slotPayload(8, 1, QByteArray(8, '\x01'));
        rig.dialogs.answer(QStringLiteral("127")).answer(MessageAnswer::Yes);

        deleteLogoSlot(rig.session);

        QCOMPARE(rig.printer.received, request("\x0Fl127\x0E") + QByteArray(256, '\0'));
        QVERIFY(rig.printer.state.logos[127].isEmpty());
        const auto boxes = rig.dialogs.messages();
        QCOMPARE(boxes.size(), 2);
        QCOMPARE(boxes[0].title, QStringLiteral("Удаление Логотипа Маркиратора"));
        QCOMPARE(boxes[0].text, QStringLiteral("Вы действительно хотите удалить Логотип #127?"));
        QCOMPARE(boxes[0].icon, MessageIcon::Warning);
        QCOMPARE(boxes[0].buttons, MessageButtons::YesNo);
        QCOMPARE(boxes[1].title, QStringLiteral("Запись Логотипа в Маркиратор"));
        QCOMPARE(boxes[1].text, QStringLiteral("Очистка Логотипа #127 завершена."));
        QCOMPARE(rig.status.graphicLamp, Lamp::Idle);
    }

    void aLogoWrittenAndReadBackIsTheSame() {
        Rig rig;
        rig.logo.newLogo(40, 24);
        for (int x = 0; x < 40; ++x)
            rig.logo.setDot(x, (x * 7) % 24, true);
        rig.logo.setDot(39, 23, true);
        const QStringList written = dotRows(rig.logo);
        rig.dialogs.answer(QStringLiteral("5"));
        writeLogoSlot(rig.session);

        rig.logo.newLogo(10, 8);
        rig.dialogs.answer(QStringLiteral("5"));
        readLogoSlot(rig.session);

        QCOMPARE(rig.dialogs.unexpected, QStringList());
        QCOMPARE(rig.logo.size(), QSize(40, 24));
        QCOMPARE(dotRows(rig.logo), written);
    }

    void failedTransfersAreReported_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<bool>("refuseWrite");
        QTest::addColumn<int>("vanishAfter");
        QTest::addColumn<QString>("message");
        const QString readError = QStringLiteral("Ошибка при чтении данных из Маркиратора (COM1)!");
        const QString writeError = QStringLiteral("Ошибка записи данных в порт COM1!");
        QTest::newRow("read, request refused") << 0 << QStringList{"3"} << true << -1 << readError;
        QTest::newRow("read, port gone before the reply")
            << 0 << QStringList{"3"} << false << 6 << readError;
        QTest::newRow("write, header refused") << 1 << QStringList{"3"} << true << -1 << writeError;
        QTest::newRow("write, port gone during the payload")
            << 1 << QStringList{"3"} << false << 100 << writeError;
        QTest::newRow("delete, header refused")
            << 2 << QStringList{"3", "Y"} << true << -1 << writeError;
    }
    void failedTransfersAreReported() {
        QFETCH(int, command);
        QFETCH(QStringList, answers);
        QFETCH(bool, refuseWrite);
        QFETCH(int, vanishAfter);
        QFETCH(QString, message);
        const Command commands[] = {readLogoSlot, writeLogoSlot, deleteLogoSlot};
        Rig rig;
        rig.logo.newLogo(8, 8);
        rig.printer.state.logos[3] = slotPayload(8, 1, QByteArray(8, '\x01'));
        rig.printer.faults.refuseWrite = refuseWrite;
        rig.printer.faults.vanishAfterBytes = vanishAfter;
        for (const QString& a : answers) {
            if (a == QLatin1String("Y"))
                rig.dialogs.answer(MessageAnswer::Yes);
            else
                rig.dialogs.answer(a);
        }

        commands[command](rig.session);

        QCOMPARE(rig.dialogs.unexpected, QStringList());
        QCOMPARE(rig.dialogs.last().title, QStringLiteral("ОШИБКА"));
        QCOMPARE(rig.dialogs.last().text, message);
        QCOMPARE(rig.status.graphicLamp, Lamp::Error);
        QCOMPARE(rig.status.textMarkLamp, Lamp::Error);
        QCOMPARE(rig.logo.size(), QSize(8, 8));
        QVERIFY(rig.session.link.error);
    }
};

QTEST_MAIN(LogoTransfer)
#include "tst_logo_transfer.moc"
