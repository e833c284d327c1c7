// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/app_settings.h"
#include "app/main_window.h"
#include "app/menu_table.h"
#include "app/protocol_log_window.h"
#include "editor/graphic_window.h"
#include "logos/logo_document.h"
#include "marks/mark_document.h"
#include "marks/widgets/mark_window.h"
#include "platform/real_clock.h"
#include "test_rig.h"

#include <QAccessible>
#ifdef INKWICK_QUEUED_INPUT
#include <qpa/qwindowsysteminterface.h>
#endif

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <functional>

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using namespace platform;
using namespace printerlink;

using app::MainWindow;
using Id = app::CommandId;

namespace {

const QString kNotConnected = QStringLiteral("Соединение с Маркиратором не установлено!\n\r"
                                             "НЕ ВЫПОЛНЕНА ИНИЦИАЛИЗАЦИЯ COM-ПОРТА:\n\r"
                                             "'Функции' >> 'Подключение' >> 'Открыть СОМ-порт'");

// Printer commands that must not run without a port: menu ids and the Ctrl+U id.
const QList<Id> kPortIds = {
    Id::Version,       Id::SetClock,        Id::SetDateOffset,   Id::SetPrintLines,
    Id::PrintModeInfo, Id::PrintSystemInfo, Id::RunningHours,    Id::PrintedMarks,
    Id::ReadFragment,  Id::WriteFragment,   Id::ReadCurrentMark, Id::ReadMark,
    Id::WriteMark,     Id::TextMarkArea,    Id::ReadLogo,        Id::WriteLogo,
    Id::DeleteLogo,    Id::MarkBitmap,      Id::GraphicArea,     Id::PrintSystemKey};
// Greyed at start and enabled by an opening.
const QList<Id> kEnabledByOpening = {
    Id::ClosePort,     Id::Version,         Id::SetClock,     Id::SetDateOffset, Id::SetPrintLines,
    Id::PrintModeInfo, Id::PrintSystemInfo, Id::RunningHours, Id::PrintedMarks,  Id::ReadFragment,
    Id::WriteFragment, Id::ReadCurrentMark, Id::ReadMark,     Id::WriteMark,     Id::TextMarkArea,
    Id::ReadLogo,      Id::WriteLogo,       Id::DeleteLogo,   Id::MarkBitmap,    Id::GraphicArea};

// Text of every entry of a menu, "-" for a separator and "> title" for a submenu.
QStringList entries(QMenu* menu) {
    QStringList out;
    for (QAction* a : menu->actions()) {
        if (a->isSeparator())
            out << QStringLiteral("-");
        else if (a->menu())
            out << QStringLiteral("> ") + a->menu()->title();
        else
            out << a->text();
    }
    return out;
}

QMenu* submenu(QMenu* menu, const QString& title) {
    for (QAction* a : menu->actions())
        if (a->menu() && a->menu()->title() == title)
            return a->menu();
    return nullptr;
}

struct Shell {
    TestRig rig;
    MainWindow window{rig.port, rig.clock, rig.dialogs, rig.catalogue};

    explicit Shell(const QString& model = QStringLiteral("K309")) {
        rig.printer.state.model = model;
        window.startUp(rig.dir.path(), rig.dir.path(), false);
        window.show();
        // Shortcuts reach the active window, as keys do.
        window.activateWindow();
        (void)QTest::qWaitForWindowActive(&window);
    }
    // The opening as the user does it: Ctrl+C, "1" in the port prompt.
    void open() {
        rig.dialogs.answer(QStringLiteral("1"));
        window.runCommand(Id::OpenPort);
    }
    QString portField(ChildWindow w) const {
        return (w == ChildWindow::TextMark ? window.statusField(MarkField::Port)
                                           : window.statusField(GraphicField::Port))
            ->text();
    }
    // The labels of a status bar, left to right.
    QList<QLabel*> bar(ChildWindow w) const {
        return window.lampField(w)->parentWidget()->findChildren<QLabel*>(
            QString(), Qt::FindDirectChildrenOnly);
    }
    bool enabled(Id id) const { return window.action(id)->isEnabled(); }
    QMenu* menu(const QString& title) const { return window.menu(title); }
    bool titleEnabled(const QString& title) const { return menu(title)->menuAction()->isEnabled(); }
    QList<ScriptedDialogs::Shown> messages() const { return rig.dialogs.messages(); }
};

// Virtual time whose waits serve events as the real clock's do, with a hook that runs once in
// the middle of the first command's first wait.
class ServingClock : public Clock {
public:
    explicit ServingClock(VirtualClock& inner) : inner_(inner) {}
    std::function<void()> duringWait;
    void waitMs(int ms) override {
        if (duringWait)
            std::exchange(duringWait, {})();
        serviceEvents();
        inner_.waitMs(ms);
    }
    void waitUs(int us) override { inner_.waitUs(us); }
    QDateTime now() const override { return inner_.now(); }
    qint64 elapsedMs() const override { return inner_.elapsedMs(); }

private:
    VirtualClock& inner_;
};

struct LiveShell {
    TestRig rig;
    ServingClock clock{rig.clock};
    MainWindow window{rig.port, clock, rig.dialogs, rig.catalogue};

    LiveShell() {
        window.startUp(rig.dir.path(), rig.dir.path(), false);
        window.show();
        rig.dialogs.answer(QStringLiteral("1"));
        window.runCommand(Id::OpenPort);
        rig.printer.requests.clear();
        rig.dialogs.shown.clear();
    }
};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void windowAndChildren() {
        Shell s;
        QCOMPARE(s.window.size(), QSize(800, 600));
        QCOMPARE(s.window.minimumSize(), s.window.maximumSize());
        QVERIFY(s.window.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!(s.window.windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(s.window.windowTitle(), QStringLiteral("'INKWICK' для K307/K309  версия 4.0"));
        QCOMPARE(s.window.markSubWindow()->windowTitle(), QStringLiteral("ТЕКСТ МАРКИ"));
        QCOMPARE(s.window.graphicSubWindow()->windowTitle(), QStringLiteral("ГРАФИКА"));
        QVERIFY(s.window.markSubWindow()->isMaximized());
        QCOMPARE(s.window.mdiArea()->activeSubWindow(), s.window.markSubWindow());
    }

    void statusBarsStart_data() {
        QTest::addColumn<int>("window");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("text");
        const int m = int(ChildWindow::TextMark), g = int(ChildWindow::Graphic);
        QTest::newRow("mark name") << m << 0 << 460 << QStringLiteral("Марка: ...");
        QTest::newRow("mark lamp") << m << 1 << 23 << QString();
        QTest::newRow("mark port") << m << 2 << 150 << QStringLiteral("COM?");
        QTest::newRow("clock") << m << 3 << 130 << QStringLiteral("03.02.2026  09:05:07");
        QTest::newRow("picture") << g << 0 << 360 << QStringLiteral("Рисунок: ...");
        QTest::newRow("pointer") << g << 1 << 80 << QStringLiteral("XY=0:0");
        QTest::newRow("size") << g << 2 << 110 << QStringLiteral("Размер XY: 64x24");
        QTest::newRow("graphic lamp") << g << 3 << 23 << QString();
        QTest::newRow("graphic port") << g << 4 << 150 << QStringLiteral("COM?");
    }
    // The bars as the user sees them, left to right.
    void statusBarsStart() {
        QFETCH(int, window);
        QFETCH(int, position);
        QFETCH(int, width);
        QFETCH(QString, text);
        Shell s;
        const QList<QLabel*> bar = s.bar(ChildWindow(window));
        QVERIFY(position < bar.size());
        QLabel* l = bar[position];
        QCOMPARE(l->width(), width);
        QCOMPARE(l->text(), text);
        QCOMPARE(s.window.lamp(ChildWindow(window)), Lamp::Grey);
    }

    // Commands name the fields; each name reaches its place in the bar.
    void fieldsByName() {
        Shell s;
        s.window.setField(MarkField::File, QStringLiteral("f"));
        s.window.setField(MarkField::Port, QStringLiteral("p"));
        s.window.setField(GraphicField::File, QStringLiteral("F"));
        s.window.setField(GraphicField::Pointer, QStringLiteral("XY"));
        s.window.setField(GraphicField::Size, QStringLiteral("S"));
        s.window.setField(GraphicField::Port, QStringLiteral("P"));
        auto texts = [&](ChildWindow w) {
            QStringList out;
            for (QLabel* l : s.bar(w))
                out << l->text();
            return out;
        };
        QCOMPARE(texts(ChildWindow::TextMark).mid(0, 3), (QStringList{"f", QString(), "p"}));
        QCOMPARE(texts(ChildWindow::Graphic), (QStringList{"F", "XY", "S", QString(), "P"}));
    }

    void clockFieldFollowsTheTimer() {
        Shell s;
        s.rig.clock.setDateTime(QDateTime(QDate(2027, 12, 31), QTime(23, 59, 58)));
        QTRY_COMPARE_WITH_TIMEOUT(s.window.statusField(MarkField::Clock)->text(),
                                  QStringLiteral("31.12.2027  23:59:58"), 2500);
    }

    void menuBarLayout_data() {
        QTest::addColumn<QStringList>("path");
        QTest::addColumn<QStringList>("expected");
        const QString f = QStringLiteral("ФУНКЦИИ");
        QTest::newRow("bar") << QStringList()
                             << QStringList{f,        "МАРКА", "ГРАФИКА", "РедакторГрафики",
                                            "СЕРВИС", "Помощь"};
        QTest::newRow("functions") << QStringList{f} << QStringList{"> ПОДКЛЮЧЕНИЕ",
                                                                    "-",
                                                                    "> Настройки Маркиратора",
                                                                    "-",
                                                                    "ВЫХОД (ЗАКРЫТЬ ПРОГРАММУ)",
                                                                    "-",
                                                                    "ТЕКСТ МАРКИ",
                                                                    "ГРАФИКА"};
        QTest::newRow("connection") << QStringList{f, "ПОДКЛЮЧЕНИЕ"}
                                    << QStringList{"ОТКРЫТЬ COM-ПОРТ\t(Ctrl+C)", "ЗАКРЫТЬ COM-ПОРТ",
                                                   "> установки сом-порта"};
        QTest::newRow("rates") << QStringList{f, "ПОДКЛЮЧЕНИЕ", "установки сом-порта"}
                               << QStringList{"115200,N,8,1", "57600,N,8,1", "38400,N,8,1",
                                              "28800,N,8,1",  "19200,N,8,1", "14400,N,8,1",
                                              "9600,N,8,1"};
        QTest::newRow("settings") << QStringList{f, "Настройки Маркиратора"}
                                  << QStringList{"Версия Системы Печати Маркиратора",
                                                 "-",
                                                 "Установка Часов (Дата+Время)",
                                                 "Установка Смешения Даты (дней)",
                                                 "Установка Числа Текстовых Строк",
                                                 "-",
                                                 "ИНФО: Уставки Режима Печати",
                                                 "ИНФО: УСТАВКИ СИСТЕМЫ ПЕЧАТИ\t(Ctrl+U)",
                                                 "-",
                                                 "ИНФО: Время работы Маркиратора",
                                                 "ИНФО: Число отпечатанных марок"};
        QTest::newRow("mark") << QStringList{"МАРКА"}
                              << QStringList{"Создать Новую Марку",
                                             "-",
                                             "Открыть Файл Марки",
                                             "Сохранить Изменения",
                                             "Сохранить Марку как...",
                                             "-",
                                             "Чтение фрагмента Текущей Марки",
                                             "Записать Фрагмент в Текущую Марку",
                                             "-",
                                             "ЧТЕНИЕ ТЕКУЩЕЙ МАРКИ",
                                             "ЧТЕНИЕ МАРКИ #00..85",
                                             "-",
                                             "ЗАПИСАТЬ МАРКУ В МАРКИРАТОР...",
                                             "-",
                                             "Проверка Области Текстовых Марок"};
        QTest::newRow("graphic") << QStringList{"ГРАФИКА"}
                                 << QStringList{"Создать Новый Логотип",
                                                "Открыть Файл Логотипа",
                                                "Импорт рисунка...",
                                                "-",
                                                "Сохранить изменение в файле",
                                                "Сохранить Логотип как..",
                                                "-",
                                                "Чтение Логотипа из Маркиратора",
                                                "Записать Логотип в Маркиратор",
                                                "Удалить Логотип..",
                                                "-",
                                                "ЧТЕНИЕ БИТ-КАРТЫ ТЕКУЩЕЙ МАРКИ",
                                                "ЗАПИСАТЬ ГРАФИЧЕСКУЮ МАРКУ",
                                                "-",
                                                "Проверка Графической Области"};
        QTest::newRow("editor") << QStringList{"РедакторГрафики"}
                                << QStringList{"Изменить X-размер",
                                               "Изменить Y-размер",
                                               "-",
                                               "Инверсия Цвета",
                                               "-",
                                               "Отменить Изменения",
                                               "Очистка Область Редактирования",
                                               "-",
                                               "Инфо: Число активных капель в бит-карте"};
        QTest::newRow("service") << QStringList{"СЕРВИС"}
                                 << QStringList{"ЖУРНАЛ ОБМЕНА",
                                                "-",
                                                "Резервная копия Маркиратора...",
                                                "Восстановить из резервной копии...",
                                                "Сравнить с резервной копией...",
                                                "-",
                                                "Записать части рисунка в Маркиратор..."};
        QTest::newRow("help") << QStringList{"Помощь"}
                              << QStringList{"Сведения о Программе", "-",
                                             "Подключение Компьютера к Маркиратору",
                                             "Быстрые команды", "Используемые Форматы Графики"};
    }
    void menuBarLayout() {
        QFETCH(QStringList, path);
        QFETCH(QStringList, expected);
        Shell s;
        if (path.isEmpty()) {
            QStringList titles;
            for (QAction* a : s.window.menuBar()->actions())
                titles << a->text();
            QCOMPARE(titles, expected);
            return;
        }
        QMenu* m = s.menu(path.first());
        for (qsizetype i = 1; m && i < path.size(); ++i)
            m = submenu(m, path[i]);
        QVERIFY(m);
        QCOMPARE(entries(m), expected);
    }

    // Each id delivers its own command: the item's text identifies it.
    void idsReachTheirItems_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("text");
        // The program's own numbering of its items.
        const QList<QPair<int, QString>> rows = {{2, "ОТКРЫТЬ COM-ПОРТ\t(Ctrl+C)"},
                                                 {3, "ЗАКРЫТЬ COM-ПОРТ"},
                                                 {110, "115200,N,8,1"},
                                                 {116, "9600,N,8,1"},
                                                 {54, "Версия Системы Печати Маркиратора"},
                                                 {50, "Установка Часов (Дата+Время)"},
                                                 {51, "Установка Смешения Даты (дней)"},
                                                 {52, "Установка Числа Текстовых Строк"},
                                                 {53, "ИНФО: Уставки Режима Печати"},
                                                 {55, "ИНФО: УСТАВКИ СИСТЕМЫ ПЕЧАТИ\t(Ctrl+U)"},
                                                 {60, "ИНФО: Время работы Маркиратора"},
                                                 {61, "ИНФО: Число отпечатанных марок"},
                                                 {9, "ВЫХОД (ЗАКРЫТЬ ПРОГРАММУ)"},
                                                 {7, "ТЕКСТ МАРКИ"},
                                                 {8, "ГРАФИКА"},
                                                 {10, "Создать Новую Марку"},
                                                 {11, "Открыть Файл Марки"},
                                                 {13, "Сохранить Изменения"},
                                                 {14, "Сохранить Марку как..."},
                                                 {56, "Чтение фрагмента Текущей Марки"},
                                                 {17, "Записать Фрагмент в Текущую Марку"},
                                                 {12, "ЧТЕНИЕ ТЕКУЩЕЙ МАРКИ"},
                                                 {18, "ЧТЕНИЕ МАРКИ #00..85"},
                                                 {15, "ЗАПИСАТЬ МАРКУ В МАРКИРАТОР..."},
                                                 {19, "Проверка Области Текстовых Марок"},
                                                 {20, "Создать Новый Логотип"},
                                                 {21, "Открыть Файл Логотипа"},
                                                 {22, "Сохранить изменение в файле"},
                                                 {23, "Сохранить Логотип как.."},
                                                 {25, "Чтение Логотипа из Маркиратора"},
                                                 {26, "Записать Логотип в Маркиратор"},
                                                 {29, "Удалить Логотип.."},
                                                 {80, "Импорт рисунка..."},
                                                 {28, "ЧТЕНИЕ БИТ-КАРТЫ ТЕКУЩЕЙ МАРКИ"},
                                                 {27, "ЗАПИСАТЬ ГРАФИЧЕСКУЮ МАРКУ"},
                                                 {24, "Проверка Графической Области"},
                                                 {30, "Изменить X-размер"},
                                                 {31, "Изменить Y-размер"},
                                                 {32, "Инверсия Цвета"},
                                                 {33, "Отменить Изменения"},
                                                 {34, "Очистка Область Редактирования"},
                                                 {35, "Инфо: Число активных капель в бит-карте"},
                                                 {40, "Сведения о Программе"},
                                                 {41, "Подключение Компьютера к Маркиратору"},
                                                 {43, "Быстрые команды"},
                                                 {42, "Используемые Форматы Графики"}};
        for (const auto& [id, text] : rows)
            QTest::addRow("%d", id) << id << text;
    }
    void idsReachTheirItems() {
        QFETCH(int, id);
        QFETCH(QString, text);
        Shell s;
        QVERIFY(s.window.action(Id(id)));
        QCOMPARE(s.window.action(Id(id))->text(), text);
    }

    void statesFollowTheConnection() {
        Shell s;
        const QList<Id> alwaysOn = {Id::Exit,           Id::MarkWindow,   Id::GraphicWindow,
                                    Id::NewMark,        Id::OpenMarkFile, Id::NewLogo,
                                    Id::OpenLogoFile,   Id::SaveLogoAs,   Id::LogoWidth,
                                    Id::LogoHeight,     Id::InvertLogo,   Id::UndoLogo,
                                    Id::ClearLogo,      Id::CountDots,    Id::HelpAbout,
                                    Id::HelpConnection, Id::HelpFormats,  Id::HelpShortcuts};
        const QList<Id> alwaysOff = {Id::SaveMark, Id::SaveMarkAs, Id::SaveLogo,
                                     Id::WriteGraphicMark};
        auto check = [&](bool open) {
            QCOMPARE(s.enabled(Id::OpenPort), !open);
            for (Id id : kEnabledByOpening)
                QVERIFY2(s.enabled(id) == open, qPrintable(QString::number(int(id))));
            for (Id id : alwaysOn)
                QVERIFY2(s.enabled(id), qPrintable(QString::number(int(id))));
            for (Id id : alwaysOff)
                QVERIFY2(!s.enabled(id), qPrintable(QString::number(int(id))));
        };
        check(false);
        QVERIFY(s.window.action(Id::Baud115200)->isChecked());

        s.open();
        check(true);
        QCOMPARE(s.portField(ChildWindow::TextMark), QStringLiteral("COM1: 115200,n,8,1"));
        QCOMPARE(s.portField(ChildWindow::Graphic), QStringLiteral("COM1: 115200,n,8,1"));
        QCOMPARE(s.window.lamp(ChildWindow::TextMark), Lamp::Idle);
        // The version query ran after the opening and said so.
        QCOMPARE(s.rig.printer.requests.size(), 1);
        QCOMPARE(s.rig.printer.requests.first(), QByteArray("\x11i\x0e"));
        QCOMPARE(s.messages().size(), 1);
        QVERIFY(s.messages().first().text.startsWith(QStringLiteral("Версия Программы")));

        s.window.runCommand(Id::ClosePort);
        check(false);
        QVERIFY(!s.window.session().link.open);
        QVERIFY(!s.rig.port.isOpen());
        QCOMPARE(s.portField(ChildWindow::TextMark), QStringLiteral("COM?"));
        QCOMPARE(s.portField(ChildWindow::Graphic), QStringLiteral("COM?"));
        QCOMPARE(s.window.lamp(ChildWindow::Graphic), Lamp::Grey);
        QVERIFY(s.rig.dialogs.unexpected.isEmpty());
    }

    void cancelledOpeningStaysDisconnected() {
        Shell s;
        s.rig.dialogs.answer(QString());
        s.window.runCommand(Id::OpenPort);
        QVERIFY(!s.window.session().link.open);
        QVERIFY(s.enabled(Id::OpenPort));
        QVERIFY(!s.enabled(Id::PrintSystemInfo));
        QVERIFY(s.messages().isEmpty());
        QVERIFY(s.rig.printer.requests.isEmpty());
    }

    void printerCommandsNeedAPort_data() {
        QTest::addColumn<Id>("id");
        for (Id id : kPortIds)
            QTest::addRow("%d", int(id)) << id;
    }
    void printerCommandsNeedAPort() {
        QFETCH(Id, id);
        Shell s;
        s.window.runCommand(id);
        QCOMPARE(s.rig.dialogs.shown.size(), 1);
        const auto& box = s.rig.dialogs.last();
        QCOMPARE(box.title, QStringLiteral("ОШИБКА"));
        QCOMPARE(box.text, kNotConnected);
        QCOMPARE(box.icon, MessageIcon::Error);
        QCOMPARE(box.buttons, MessageButtons::Ok);
        QVERIFY(s.rig.printer.received.isEmpty());
    }

    // Every item runs a command, except the two that do nothing by design.
    void everyItemIsWired() {
        for (const app::MenuItem& item : app::menuItems())
            QVERIFY2((app::commandFor(item.id) != nullptr) ==
                         (item.id != Id::SaveLogo && item.id != Id::WriteGraphicMark),
                     qPrintable(item.text));
    }

    void commandsReachThePrinter_data() {
        QTest::addColumn<Id>("id");
        QTest::addColumn<QByteArray>("request");
        QTest::newRow("version") << Id::Version << QByteArray("\x11i\x0e");
        QTest::newRow("print system") << Id::PrintSystemInfo << QByteArray("\x11\\\x0e");
        QTest::newRow("print system, Ctrl+U") << Id::PrintSystemKey << QByteArray("\x11\\\x0e");
        QTest::newRow("print mode") << Id::PrintModeInfo << QByteArray("\x11M\x0e");
        QTest::newRow("running hours") << Id::RunningHours << QByteArray("\x11w\x0e");
        QTest::newRow("printed marks") << Id::PrintedMarks << QByteArray("\x11m\x0e");
        QTest::newRow("text-mark area") << Id::TextMarkArea << QByteArray("\x0fx\x0e");
        QTest::newRow("graphic area") << Id::GraphicArea
                                      << QByteArray("\x0f"
                                                    "a\x0e");
        QTest::newRow("backup") << Id::Backup << QByteArray("\x11i\x0e");
    }
    void commandsReachThePrinter() {
        QFETCH(Id, id);
        QFETCH(QByteArray, request);
        Shell s;
        s.open();
        s.rig.printer.requests.clear();
        s.window.runCommand(id);
        QVERIFY(!s.rig.printer.requests.isEmpty());
        QCOMPARE(s.rig.printer.requests.first(), request);
        QVERIFY(s.rig.dialogs.unexpected.isEmpty());
    }

    void ctrlUWhileNotConnectedIsGuarded() {
        Shell s;
        // The focus in a text field must not swallow the shortcut.
        auto* field = s.window.markSubWindow()->findChild<QLineEdit*>();
        QVERIFY(field);
        QTest::keyClick(field, Qt::Key_U, Qt::ControlModifier);
        QCOMPARE(s.rig.dialogs.shown.size(), 1);
        QCOMPARE(s.rig.dialogs.last().text, kNotConnected);
    }

    void ctrlCWhileConnectedDoesNothing() {
        Shell s;
        s.open();
        const qsizetype shown = s.rig.dialogs.shown.size();
        const QStringList openings = s.rig.port.openings;
        QTest::keyClick(&s.window, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(s.rig.dialogs.shown.size(), shown);
        QCOMPARE(s.rig.port.openings, openings);
        QVERIFY(s.window.session().link.open);
    }

    void ctrlCOpensThePort() {
        Shell s;
        s.rig.dialogs.answer(QStringLiteral("1"));
        QTest::keyClick(&s.window, Qt::Key_C, Qt::ControlModifier);
        QVERIFY(s.window.session().link.open);
        QCOMPARE(s.rig.dialogs.shown.first().kind, ScriptedDialogs::Kind::PortPrompt);
    }

    void modeSwitching() {
        Shell s;
        auto inMarkMode = [&] {
            QCOMPARE(s.window.session().mode, WindowMode::Mark);
            QVERIFY(s.titleEnabled("МАРКА"));
            QVERIFY(!s.titleEnabled("ГРАФИКА"));
            QVERIFY(!s.titleEnabled("РедакторГрафики"));
            QCOMPARE(s.window.mdiArea()->activeSubWindow(), s.window.markSubWindow());
            QVERIFY(s.window.action(Id::MarkWindow)->isChecked());
        };
        auto inLogoMode = [&] {
            QCOMPARE(s.window.session().mode, WindowMode::Logo);
            QVERIFY(!s.titleEnabled("МАРКА"));
            QVERIFY(s.titleEnabled("ГРАФИКА"));
            QVERIFY(s.titleEnabled("РедакторГрафики"));
            QCOMPARE(s.window.mdiArea()->activeSubWindow(), s.window.graphicSubWindow());
            QVERIFY(s.window.graphicSubWindow()->isVisible());
            QVERIFY(s.window.action(Id::GraphicWindow)->isChecked());
        };
        inMarkMode();
        QTest::keyClick(&s.window, Qt::Key_M, Qt::ControlModifier); // already there: nothing
        inMarkMode();
        QVERIFY(s.window.graphicSubWindow()->isVisible());
        QTest::keyClick(&s.window, Qt::Key_G, Qt::ControlModifier);
        inLogoMode();
        QVERIFY(!s.window.markSubWindow()->isVisible());
        QTest::keyClick(&s.window, Qt::Key_G, Qt::ControlModifier); // already there: nothing
        inLogoMode();
        QVERIFY(!s.window.markSubWindow()->isVisible());
        s.window.runCommand(Id::MarkWindow);
        inMarkMode();
        s.window.runCommand(Id::GraphicWindow);
        inLogoMode();
        QCOMPARE(s.window.windowTitle(), QStringLiteral("'INKWICK' для K307/K309  версия 4.0"));
        QTest::keyClick(&s.window, Qt::Key_M, Qt::ControlModifier);
        inMarkMode();
        QVERIFY(!s.window.graphicSubWindow()->isVisible());
        QVERIFY(s.rig.dialogs.shown.isEmpty());
    }

    // The child windows' own keys switch the mode as the window list does, or do nothing: the
    // active window is always the one of the mode.
    void ctrlTabAndCtrlF6SwitchTheMode_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("switches");
        QTest::newRow("Ctrl+Tab") << int(Qt::Key_Tab) << true;
        QTest::newRow("Ctrl+F6") << int(Qt::Key_F6) << false;
    }
    void ctrlTabAndCtrlF6SwitchTheMode() {
        QFETCH(int, key);
        QFETCH(bool, switches);
        Shell s;
        QVERIFY(QTest::qWaitForWindowActive(&s.window));
        auto press = [&] {
            QWidget* target = s.window.mdiArea()->activeSubWindow();
            QTest::keyPress(target, Qt::Key(key), Qt::ControlModifier);
            QTest::keyRelease(target, Qt::Key(key), Qt::ControlModifier);
            QTest::keyRelease(target, Qt::Key_Control);
        };
        auto modeFollows = [&] {
            const bool logo = s.window.session().mode == WindowMode::Logo;
            QCOMPARE(s.window.mdiArea()->activeSubWindow(),
                     logo ? s.window.graphicSubWindow() : s.window.markSubWindow());
            QCOMPARE(s.titleEnabled("ГРАФИКА"), logo);
            QCOMPARE(s.titleEnabled("МАРКА"), !logo);
            QCOMPARE(s.window.action(Id::GraphicWindow)->isChecked(), logo);
        };
        press();
        modeFollows();
        QCOMPARE(s.window.session().mode, switches ? WindowMode::Logo : WindowMode::Mark);
        press();
        modeFollows();
        QCOMPARE(s.window.session().mode, WindowMode::Mark);
    }

    // Two starts of the program with the same settings: the second offers the port and the
    // rate of the first.
    void portAndRateRememberedAcrossStarts() {
        QTemporaryDir dir;
        const QString file = dir.filePath("inkwick.conf");
        auto start = [&](const QString& answer, auto&& whileRunning) {
            TestRig rig;
            rig.catalogue.entries = {{"COM1", "/dev/ttyS0", "Built-in", "/dev/ttyS0"},
                                     {"COM2", "/dev/ttySIM0", "Printer", "/dev/ttySIM0"}};
            app::AppSettings settings(file);
            MainWindow window{rig.port, rig.clock, rig.dialogs, rig.catalogue};
            window.setSettings(&settings);
            rig.dialogs.answer(answer);
            window.startUp(rig.dir.path(), rig.dir.path());
            QVERIFY(window.session().link.open);
            whileRunning(rig, window);
        };
        start("2", [](TestRig& rig, MainWindow& window) {
            QCOMPARE(rig.dialogs.shown.first().defaultText, QStringLiteral("1"));
            window.runCommand(Id::Baud9600);
            QCOMPARE(window.session().link.baudRate, 9600);
        });
        start("2", [](TestRig& rig, MainWindow& window) {
            QCOMPARE(rig.dialogs.shown.first().defaultText, QStringLiteral("2"));
            QCOMPARE(window.session().link.baudRate, 9600);
            QCOMPARE(rig.port.baudRate(), 9600);
            QVERIFY(window.action(Id::Baud9600)->isChecked());
            QVERIFY(!window.action(Id::Baud115200)->isChecked());
        });
    }

    void portGivenAtStartOpensWithoutThePrompt() {
        TestRig rig;
        MainWindow window{rig.port, rig.clock, rig.dialogs, rig.catalogue};
        window.startUp(rig.dir.path(), rig.dir.path(), true, "/dev/ttySIM0");
        QVERIFY(window.session().link.open);
        QCOMPARE(window.statusField(MarkField::Port)->text(), QStringLiteral("COM1: 115200,n,8,1"));
        for (const auto& shown : rig.dialogs.shown)
            QVERIFY(shown.kind != ScriptedDialogs::Kind::PortPrompt);
        QVERIFY(window.action(Id::OpenPort)->isEnabled() == false);
    }

    // Screen readers find every status field, the lamps' states in words, and the windows'
    // main parts by name.
    void accessibleNames() {
        Shell s;
        QList<QLabel*> fields;
        for (MarkField f : {MarkField::File, MarkField::Port, MarkField::Clock})
            fields << s.window.statusField(f);
        for (GraphicField f :
             {GraphicField::File, GraphicField::Pointer, GraphicField::Size, GraphicField::Port})
            fields << s.window.statusField(f);
        QLabel* markLamp = s.window.lampField(ChildWindow::TextMark);
        QLabel* graphicLamp = s.window.lampField(ChildWindow::Graphic);
        fields << markLamp << graphicLamp;
        for (QLabel* f : fields)
            QVERIFY2(!f->accessibleName().isEmpty(), qPrintable(f->text()));
        QStringList states;
        for (Lamp l : {Lamp::Grey, Lamp::Transfer, Lamp::Idle, Lamp::Error}) {
            s.window.setLamp(LampTarget::Both, l);
            QVERIFY(!markLamp->toolTip().isEmpty());
            QCOMPARE(markLamp->accessibleDescription(), markLamp->toolTip());
            QCOMPARE(graphicLamp->toolTip(), markLamp->toolTip());
            states << markLamp->toolTip();
        }
        states.removeDuplicates();
        QCOMPARE(states.size(), 4);
        s.window.setLamp(LampTarget::Graphic, Lamp::Transfer);
        QVERIFY(graphicLamp->toolTip() != markLamp->toolTip());

        auto* markWin = s.window.markSubWindow()->findChild<marks::MarkWindow*>();
        auto* graphicWin = s.window.graphicSubWindow()->findChild<editor::GraphicWindow*>();
        QVERIFY(markWin && graphicWin);
        const QList<QWidget*> parts = {
            markWin->table(),         markWin->functionSelector(), markWin->fontSelector(),
            markWin->textField(),     markWin->previewArea(),      markWin->previewLabel(),
            graphicWin->scrollArea(), graphicWin->zoomCanvas(),    graphicWin->dotPicture()};
        for (QWidget* part : parts)
            QVERIFY2(!part->accessibleName().isEmpty(), part->metaObject()->className());
    }

    void openingAK307SwitchesToLogoMode_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("mode");
        QTest::newRow("K307") << QStringLiteral("K307") << int(WindowMode::Logo);
        QTest::newRow("K309") << QStringLiteral("K309") << int(WindowMode::Mark);
    }
    void openingAK307SwitchesToLogoMode() {
        QFETCH(QString, model);
        QFETCH(int, mode);
        Shell s(model);
        s.open();
        QCOMPARE(s.window.session().link.modelName, model);
        QCOMPARE(int(s.window.session().mode), mode);
        QCOMPARE(s.titleEnabled("ГРАФИКА"), mode == int(WindowMode::Logo));
    }

    void baudChangeWhileNotConnectedChangesNothing() {
        Shell s;
        s.window.action(Id::Baud9600)->trigger();
        QVERIFY(s.window.action(Id::Baud115200)->isChecked());
        QVERIFY(!s.window.action(Id::Baud9600)->isChecked());
        QCOMPARE(s.window.session().link.baudRate, 115200);
        QCOMPARE(s.portField(ChildWindow::TextMark), QStringLiteral("COM?"));
        QVERIFY(s.rig.port.openings.isEmpty());
        QVERIFY(s.rig.dialogs.shown.isEmpty());
    }

    void baudChangeHoldsForLaterOpenings() {
        Shell s;
        s.open();
        s.window.action(Id::Baud9600)->trigger();
        QVERIFY(s.window.action(Id::Baud9600)->isChecked());
        QVERIFY(!s.window.action(Id::Baud115200)->isChecked());
        QCOMPARE(s.rig.port.openings.last(), QStringLiteral("/dev/ttySIM0@9600"));
        QCOMPARE(s.portField(ChildWindow::TextMark), QStringLiteral("COM1: 9600,n,8,1"));
        QCOMPARE(s.portField(ChildWindow::Graphic), QStringLiteral("COM1: 9600,n,8,1"));
        QVERIFY(s.window.session().link.open);

        s.window.runCommand(Id::ClosePort);
        s.open();
        QCOMPARE(s.rig.port.openings.last(), QStringLiteral("/dev/ttySIM0@9600"));
        QCOMPARE(s.portField(ChildWindow::TextMark), QStringLiteral("COM1: 9600,n,8,1"));
        QVERIFY(s.window.action(Id::Baud9600)->isChecked());
        QVERIFY(s.rig.dialogs.unexpected.isEmpty());
    }

    void failedReopeningDisconnects() {
        Shell s;
        s.open();
        const qsizetype before = s.rig.dialogs.shown.size();
        s.rig.port.failOpen = SerialPort::OpenError::Busy;
        s.window.action(Id::Baud19200)->trigger();
        QCOMPARE(s.rig.dialogs.shown.size(), before + 1);
        QCOMPARE(s.rig.dialogs.last().title, QStringLiteral("СООБЩЕНИЕ СИСТЕМЫ"));
        QCOMPARE(s.rig.dialogs.last().icon, MessageIcon::Error);
        QVERIFY(!s.window.session().link.open);
        QCOMPARE(s.portField(ChildWindow::TextMark), QStringLiteral("COM?"));
        QCOMPARE(s.portField(ChildWindow::Graphic), QStringLiteral("COM?"));
        QCOMPARE(s.window.lamp(ChildWindow::TextMark), Lamp::Grey);
        QVERIFY(s.enabled(Id::OpenPort));
        QVERIFY(!s.enabled(Id::ClosePort));
        QVERIFY(!s.enabled(Id::PrintSystemInfo));
        QVERIFY(s.window.action(Id::Baud19200)->isChecked());
        QCOMPARE(s.window.session().link.baudRate, 19200);
        // Commands now meet the guard rather than a dead port.
        s.window.runCommand(Id::PrintSystemKey);
        QCOMPARE(s.rig.dialogs.last().text, kNotConnected);
    }

    void exitQuestion_data() {
        QTest::addColumn<Id>("id");
        QTest::addColumn<bool>("yes");
        QTest::newRow("menu, no") << Id::Exit << false;
        QTest::newRow("ctrl+q, no") << Id::ExitKey << false;
        QTest::newRow("close box, no") << Id::None << false;
        QTest::newRow("menu, yes") << Id::Exit << true;
        QTest::newRow("close box, yes") << Id::None << true;
    }
    void exitQuestion() {
        QFETCH(Id, id);
        QFETCH(bool, yes);
        Shell s;
        s.open();
        const QString tmp = s.window.session().workDir.filePath(QStringLiteral("tmpmark.mrt"));
        QFile f(tmp);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        s.rig.dialogs.answer(yes ? MessageAnswer::Yes : MessageAnswer::No);
        if (id != Id::None)
            s.window.runCommand(id);
        else
            s.window.close();
        const auto& box = s.rig.dialogs.last();
        QCOMPARE(box.title, QStringLiteral("ЗАВЕРШЕНИЕ РАБОТЫ"));
        QCOMPARE(box.text, QStringLiteral("ЗАВЕРШИТЬ РАБОТУ ПРОГРАММЫ?"));
        QCOMPARE(box.buttons, MessageButtons::YesNo);
        QCOMPARE(box.icon, MessageIcon::None);
        QCOMPARE(s.window.isVisible(), !yes);
        QCOMPARE(QFile::exists(tmp), !yes);
        QCOMPARE(s.rig.port.isOpen(), !yes);
        if (!yes) {
            QVERIFY(s.window.session().link.open);
            QCOMPARE(s.portField(ChildWindow::TextMark), QStringLiteral("COM1: 115200,n,8,1"));
            QVERIFY(!s.enabled(Id::OpenPort));
        }
        QVERIFY(s.rig.dialogs.unexpected.isEmpty());
    }

    void helpWorksInEitherStateAndMode_data() {
        QTest::addColumn<bool>("connected");
        QTest::addColumn<bool>("logoMode");
        QTest::newRow("offline, marks") << false << false;
        QTest::newRow("online, logos") << true << true;
    }
    void helpWorksInEitherStateAndMode() {
        QFETCH(bool, connected);
        QFETCH(bool, logoMode);
        Shell s;
        if (connected)
            s.open();
        if (logoMode)
            s.window.runCommand(Id::LogoModeKey);
        const qsizetype before = s.rig.dialogs.shown.size();
        for (Id id : {Id::HelpAbout, Id::HelpConnection, Id::HelpFormats, Id::HelpShortcuts})
            s.window.runCommand(id);
        QCOMPARE(s.rig.dialogs.shown.size(), before + 4);
        QCOMPARE(s.rig.dialogs.last().title, QStringLiteral("КОМАНДЫ БЫСТРОГО ДОСТУПА"));
    }

    void workingDirectory() {
        TestRig rig;
        QDir(rig.dir.path()).mkdir(QStringLiteral("start"));
        MainWindow w(rig.port, rig.clock, rig.dialogs, rig.catalogue);
        w.startUp(rig.dir.filePath(QStringLiteral("start")), rig.dir.path(), false);
        QCOMPARE(w.session().workDir.absolutePath(),
                 QDir(rig.dir.filePath(QStringLiteral("start/PRINTER FILES"))).absolutePath());
        QVERIFY(w.session().workDir.exists());
        QCOMPARE(QDir::current().absolutePath(), w.session().workDir.absolutePath());
        QVERIFY(rig.dialogs.shown.isEmpty());
    }

    void workingDirectoryFallsBackToHome() {
        TestRig rig;
        const QString start = rig.dir.filePath(QStringLiteral("start"));
        const QString home = rig.dir.filePath(QStringLiteral("home"));
        QDir(rig.dir.path()).mkdir(QStringLiteral("start"));
        QDir(rig.dir.path()).mkdir(QStringLiteral("home"));
        // A file of that name leaves no room for the directory.
        QFile blocker(QDir(start).filePath(QStringLiteral("PRINTER FILES")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        MainWindow w(rig.port, rig.clock, rig.dialogs, rig.catalogue);
        w.startUp(start, home, false);
        QCOMPARE(w.session().workDir.absolutePath(),
                 QDir(QDir(home).filePath(QStringLiteral("PRINTER FILES"))).absolutePath());
        QVERIFY(w.session().workDir.exists());
#ifdef Q_OS_WIN
        // An installed copy always lands in the documents folder: nothing to announce.
        QVERIFY(rig.dialogs.shown.isEmpty());
        return;
#endif
        QCOMPARE(rig.dialogs.shown.size(), 1);
        QCOMPARE(rig.dialogs.last().icon, MessageIcon::Warning);
        QVERIFY(rig.dialogs.last().text.contains(
            QDir::toNativeSeparators(w.session().workDir.absolutePath())));
    }

    void startUpOpensThePortAndAsksTheVersion() {
        TestRig rig;
        MainWindow w(rig.port, rig.clock, rig.dialogs, rig.catalogue);
        rig.dialogs.answer(QStringLiteral("1"));
        w.startUp(rig.dir.path(), rig.dir.path());
        QVERIFY(w.session().link.open);
        QCOMPARE(rig.dialogs.shown.size(), 2);
        QCOMPARE(rig.dialogs.shown[0].kind, ScriptedDialogs::Kind::PortPrompt);
        QCOMPARE(rig.dialogs.shown[1].title, QStringLiteral("Информация Системы Печати"));
        QCOMPARE(w.session().link.settingsText(),
                 QStringLiteral(": baud=115200 parity=N Data=8 stop=1"));
        QVERIFY(!w.session().wideLayout);
    }

    void statusFieldsAndLampsFromCommands() {
        Shell s;
        s.window.setField(GraphicField::Size, QStringLiteral("Размер XY: 10x8"));
        s.window.setLamp(LampTarget::Graphic, Lamp::Error);
        QCOMPARE(s.window.statusField(GraphicField::Size)->text(),
                 QStringLiteral("Размер XY: 10x8"));
        QVERIFY(s.window.lampField(ChildWindow::TextMark)->text().isEmpty());
        QCOMPARE(s.window.lamp(ChildWindow::Graphic), Lamp::Error);
        QCOMPARE(s.window.lamp(ChildWindow::TextMark), Lamp::Grey);
    }

    // The mark document tells; the window shows the file and greys the save items.
    void markDocumentDrivesSaveItemsAndFileField() {
        Shell s;
        marks::MarkDocument& doc = *s.window.session().marks;
        const QString longName = QString(70, u'n') + QStringLiteral(".mrt");
        // An edit alone is no mark to save: a whole one comes from a file or the printer.
        doc.clickRow(0);
        doc.setFragmentText(QStringLiteral("edited"));
        doc.applyEditor();
        QVERIFY(!s.enabled(Id::SaveMark));
        QVERIFY(!s.enabled(Id::SaveMarkAs));
        doc.model().setRows(doc.model().rows());
        doc.setCurrentFile(longName, marks::FileOrigin::Opened);
        QVERIFY(s.enabled(Id::SaveMark));
        QVERIFY(s.enabled(Id::SaveMarkAs));
        QCOMPARE(s.window.statusField(MarkField::File)->text(),
                 QStringLiteral("Марка:  ... ") + longName.right(60));
        doc.setCurrentFile(longName, marks::FileOrigin::SavedAs);
        QCOMPARE(s.window.statusField(MarkField::File)->text(),
                 QStringLiteral("Марка: ") + longName);
        doc.setCurrentFile(QString::fromLatin1(marks::kScratchMarkFile), marks::FileOrigin::Opened);
        QVERIFY(!s.enabled(Id::SaveMark));
        QVERIFY(s.enabled(Id::SaveMarkAs));
    }

    // The Cyrillic letter on the same key is the same shortcut.
    void shortcutsInEitherLayout() {
        Shell s;
        QTest::sendKeyEvent(QTest::Click, &s.window, Qt::Key(u'П'), QStringLiteral("п"),
                            Qt::ControlModifier);
        QCOMPARE(s.window.session().mode, WindowMode::Logo);
        QTest::sendKeyEvent(QTest::Click, &s.window, Qt::Key(u'Ь'), QStringLiteral("ь"),
                            Qt::ControlModifier);
        QCOMPARE(s.window.session().mode, WindowMode::Mark);
    }

    // The file field names the document's file in full and whether it holds unsaved dots.
    void theFileFieldFollowsTheLogoDocument() {
        Shell s;
        QFile file(s.window.session().workDir.filePath("a.bin"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray::fromHex("0600020101 02"));
        file.close();
        QLabel* field = s.window.statusField(GraphicField::File);
        s.rig.dialogs.answer(QStringLiteral("a.bin"));
        s.window.runCommand(Id::OpenLogoFile);
        QCOMPARE(field->text(), QStringLiteral(" Файл: a.bin"));
        QCOMPARE(field->toolTip(), QStringLiteral("a.bin"));
        s.window.session().logo->paintDot(0, 0, true);
        QCOMPARE(field->toolTip(), QStringLiteral("a.bin (изменения не сохранены)"));
        s.rig.dialogs.answer(MessageAnswer::No).answer(QStringLiteral("8")).answer("4");
        s.window.runCommand(Id::NewLogo);
        QCOMPARE(s.rig.dialogs.unexpected, QStringList());
        QCOMPARE(field->text(), QStringLiteral("Рисунок: ..."));
        QCOMPARE(field->toolTip(), QStringLiteral("без имени"));
    }

    // What arrives while a command's waits serve events: each of them starts nothing, and a
    // close request is answered with the exit question once the command has ended.
    void busyWindowStartsNothing_data() {
        QTest::addColumn<QString>("input");
        QTest::newRow("menu action") << QStringLiteral("action");
        QTest::newRow("shortcut") << QStringLiteral("shortcut");
        QTest::newRow("close box") << QStringLiteral("close");
    }
    void busyWindowStartsNothing() {
        QFETCH(QString, input);
        LiveShell s;
        s.clock.duringWait = [&] {
            QWidget* target = s.window.markSubWindow()->widget();
            if (input == QLatin1String("action"))
                QMetaObject::invokeMethod(s.window.action(Id::PrintSystemInfo), "trigger",
                                          Qt::QueuedConnection);
            else if (input == QLatin1String("shortcut"))
                QCoreApplication::postEvent(
                    target, new QKeyEvent(QEvent::KeyPress, Qt::Key_U, Qt::ControlModifier));
            else
                QCoreApplication::postEvent(&s.window, new QCloseEvent);
        };
        const bool closing = input == QLatin1String("close");
        if (closing)
            s.rig.dialogs.answer(MessageAnswer::No); // the exit question, after the command
        s.window.runCommand(Id::ReadCurrentMark);
        QVERIFY(!s.clock.duringWait);                 // the events were posted inside the exchange
        QCOMPARE(s.rig.requests().size(), 1);         // the mark read alone
        QCOMPARE(s.rig.dialogs.messages().size(), 0); // nothing asked inside the exchange
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QCOMPARE(s.rig.requests().size(), 1);
        QCOMPARE(s.rig.dialogs.messages().size(), closing ? 1 : 0);
        if (closing)
            QCOMPARE(s.rig.dialogs.last().title, QStringLiteral("ЗАВЕРШЕНИЕ РАБОТЫ"));
        QVERIFY(s.window.isVisible());
        QVERIFY(!s.window.session().busy);
        QVERIFY(s.rig.dialogs.unexpected.isEmpty());
    }

    // The bar shows how far a long transfer has got and gives the field back when it ends.
    void progressDuringATransfer() {
        LiveShell s;
        QProgressBar* bar = s.window.progressBar(ChildWindow::TextMark);
        int seen = -1;
        bool fieldHidden = false;
        // Sampled while the read runs: the hook re-arms itself on every wait.
        std::function<void()> sample = [&] {
            if (bar->isVisible()) {
                seen = qMax(seen, bar->value());
                fieldHidden = !s.window.statusField(MarkField::File)->isVisible();
            }
            s.clock.duringWait = sample;
        };
        s.clock.duringWait = sample;
        s.window.runCommand(Id::ReadCurrentMark);
        s.clock.duringWait = {};
        QVERIFY(seen > 0);
        QCOMPARE(bar->maximum(), 5 + 1536);
        QVERIFY(fieldHidden);
        QVERIFY(!bar->isVisible());
        QVERIFY(s.window.statusField(MarkField::File)->isVisible());
    }

    // A device that vanishes mid-command leaves the window not connected, and Ctrl+C opens it
    // again in one step.
    void vanishedDeviceReconnectsWithCtrlC() {
        Shell s;
        s.open();
        s.rig.printer.faults.vanishAfterBytes = 0;
        s.window.runCommand(Id::PrintSystemInfo);
        QCOMPARE(s.rig.dialogs.last().icon, MessageIcon::Error);
        QVERIFY(!s.window.session().link.open);
        QVERIFY(s.enabled(Id::OpenPort));
        QVERIFY(!s.enabled(Id::ClosePort));
        QVERIFY(!s.enabled(Id::PrintSystemInfo));
        QCOMPARE(s.portField(ChildWindow::TextMark), QStringLiteral("COM?"));

        s.rig.printer.faults.vanishAfterBytes = -1;
        const qsizetype before = s.rig.dialogs.shown.size();
        s.rig.dialogs.answer(QStringLiteral("1"));
        s.window.runCommand(Id::OpenPortKey);
        QVERIFY(s.window.session().link.open);
        QVERIFY(s.rig.port.isOpen());
        QCOMPARE(s.portField(ChildWindow::TextMark), QStringLiteral("COM1: 115200,n,8,1"));
        // The port prompt and the version query's own box, nothing else.
        QVERIFY(s.rig.dialogs.shown.size() - before <= 2);
        QVERIFY(s.rig.dialogs.unexpected.isEmpty());
    }

    // A click on the editor and a command's shortcut that arrive while a slot is read are
    // dropped: the window system holds them back during the command, and they must not land
    // on the logo just loaded, nor start a command, once it has ended.
    void inputDuringASlotReadChangesNothing() {
#ifndef INKWICK_QUEUED_INPUT
        QSKIP("needs Qt's platform headers to queue input");
#else
        LiveShell s;
        s.window.runCommand(Id::LogoModeKey);
        QByteArray slot;
        slot.append(char(16)).append(char(2)).append(QByteArray(32, '\0'));
        s.rig.printer.state.logos[7] = slot.leftJustified(256, '\0');
        auto* graphicWin = s.window.graphicSubWindow()->findChild<editor::GraphicWindow*>();
        QWidget* canvas = graphicWin->zoomCanvas();
        QWindow* window = s.window.windowHandle();
        QVERIFY(window);
        s.clock.duringWait = [&] {
            // A dot of the blank logo being loaded.
            const QPointF at = canvas->mapTo(&s.window, QPoint(155, 65));
            const QPointF global = s.window.mapToGlobal(at.toPoint());
            QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::AsynchronousDelivery>(
                window, at, global, Qt::LeftButton, Qt::LeftButton, QEvent::MouseButtonPress);
            QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::AsynchronousDelivery>(
                window, at, global, Qt::NoButton, Qt::LeftButton, QEvent::MouseButtonRelease);
            QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::AsynchronousDelivery>(
                window, QEvent::KeyPress, Qt::Key_U, Qt::ControlModifier);
            QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::AsynchronousDelivery>(
                window, QEvent::KeyRelease, Qt::Key_U, Qt::ControlModifier);
        };
        s.rig.dialogs.answer(QStringLiteral("7"));
        s.window.runCommand(Id::ReadLogo);
        QVERIFY(!s.clock.duringWait);
        const QImage loaded = s.window.session().logo->logoPicture();
        QCOMPARE(s.window.session().logo->size(), QSize(16, 16));
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QVERIFY(!s.window.session().logo->isModified());
        QCOMPARE(s.window.session().logo->logoPicture(), loaded);
        QCOMPARE(s.rig.requests().size(), 1); // the slot read alone
        QVERIFY(s.rig.dialogs.messages().isEmpty());
        QVERIFY(s.rig.dialogs.unexpected.isEmpty());
#endif
    }

    // What a command activates on its way (and what a message box gives back the focus to)
    // leaves the mode as the command left it.
    void activationDuringACommandKeepsTheMode() {
        LiveShell s;
        s.clock.duringWait = [&] {
            s.window.mdiArea()->setActiveSubWindow(s.window.graphicSubWindow());
        };
        s.window.runCommand(Id::ReadCurrentMark);
        QVERIFY(!s.clock.duringWait);
        QCOMPARE(s.window.session().mode, WindowMode::Mark);
        QVERIFY(s.window.menu(QStringLiteral("МАРКА"))->menuAction()->isEnabled());
        QVERIFY(!s.window.menu(QStringLiteral("ГРАФИКА"))->menuAction()->isEnabled());
        QCOMPARE(s.window.mdiArea()->currentSubWindow(), s.window.markSubWindow());
        QVERIFY(!s.window.session().busy);
    }

    // Assistive technology hears each status field's value, not only its name, and hears it
    // change.
    void statusFieldsSayTheirValue() {
        Shell s;
        s.open();
        s.window.session().logo->newLogo(16, 16);
        s.window.setField(GraphicField::Size, QStringLiteral("Размер XY: 16x16"));
        auto description = [](QLabel* l) {
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(l);
            return a ? a->text(QAccessible::Description) : QString();
        };
        QCOMPARE(description(s.window.statusField(MarkField::Port)),
                 QStringLiteral("COM1: 115200,n,8,1"));
        QCOMPARE(description(s.window.statusField(GraphicField::Size)),
                 QStringLiteral("Размер XY: 16x16"));
        for (ChildWindow w : {ChildWindow::TextMark, ChildWindow::Graphic}) {
            for (QLabel* l : s.bar(w)) {
                if (l == s.window.lampField(w))
                    continue;
                QVERIFY2(!l->accessibleName().isEmpty(), qPrintable(l->text()));
                QCOMPARE(description(l), l->text());
            }
        }
    }

    void protocolLogWindowShowsTheTraffic() {
        Shell s;
        s.open();
        s.window.runCommand(Id::ProtocolLog);
        app::ProtocolLogWindow* w = s.window.protocolLogWindow();
        QVERIFY(w && w->isVisible());
        QCOMPARE(w->windowTitle(), QStringLiteral("ЖУРНАЛ ОБМЕНА"));
        QVERIFY(w->view()->toPlainText().contains(QStringLiteral("-> 11 69 0E")));
        w->clearLog();
        QVERIFY(w->view()->toPlainText().isEmpty());
        s.window.runCommand(Id::PrintSystemInfo);
        w->catchUp();
        QVERIFY(w->view()->toPlainText().contains(QStringLiteral("-> 11 5C 0E")));
        s.rig.dialogs.answer(s.rig.dir.filePath(QStringLiteral("log.txt")));
        w->saveLog();
        QFile saved(s.rig.dir.filePath(QStringLiteral("log.txt")));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(
            QString::fromUtf8(saved.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts),
            s.window.session().log.lines());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
