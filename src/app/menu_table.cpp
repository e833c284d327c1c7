#include "app/menu_table.h"

namespace app {

namespace {

const QString kFunctions = QStringLiteral("ФУНКЦИИ");
const QString kConnection = QStringLiteral("ФУНКЦИИ/ПОДКЛЮЧЕНИЕ");
const QString kBaud = QStringLiteral("ФУНКЦИИ/ПОДКЛЮЧЕНИЕ/установки сом-порта");
const QString kSettings = QStringLiteral("ФУНКЦИИ/Настройки Маркиратора");
const QString kMark = QStringLiteral("МАРКА");
const QString kGraphic = QStringLiteral("ГРАФИКА");
const QString kEditor = QStringLiteral("РедакторГрафики");
const QString kHelp = QStringLiteral("Помощь");

MenuItem plain(const QString& path, const QString& text, int id, bool separatorAfter = false) {
    MenuItem m;
    m.path = path;
    m.text = text;
    m.id = id;
    m.separatorAfter = separatorAfter;
    return m;
}

// A printer command: greyed until a port is open, guarded.
MenuItem printer(const QString& path, const QString& text, int id, bool separatorAfter = false) {
    MenuItem m = plain(path, text, id, separatorAfter);
    m.needsPort = true;
    m.enabledAtStart = false;
    m.onOpen = OnOpen::Enable;
    return m;
}

MenuItem greyed(const QString& path, const QString& text, int id, bool separatorAfter = false) {
    MenuItem m = plain(path, text, id, separatorAfter);
    m.enabledAtStart = false;
    return m;
}

MenuItem baud(int id, int rate) {
    MenuItem m = plain(kBaud, QStringLiteral("%1,N,8,1").arg(rate), id);
    m.checkedAtStart = id == 110;
    return m;
}

QList<MenuItem> build() {
    QList<MenuItem> t;
    MenuItem open = plain(kConnection, QStringLiteral("ОТКРЫТЬ COM-ПОРТ\t(Ctrl+C)"), 2);
    open.shortcut = QStringLiteral("Ctrl+C");
    open.shortcutId = IdOpenKey;
    open.onOpen = OnOpen::Grey;
    t << open;
    MenuItem close = greyed(kConnection, QStringLiteral("ЗАКРЫТЬ COM-ПОРТ"), 3);
    close.onOpen = OnOpen::Enable;
    t << close;
    const int rates[] = {115200, 57600, 38400, 28800, 19200, 14400, 9600};
    for (int i = 0; i < 7; ++i)
        t << baud(110 + i, rates[i]);

    t << printer(kSettings, QStringLiteral("Версия Системы Печати Маркиратора"), 54, true)
      << printer(kSettings, QStringLiteral("Установка Часов (Дата+Время)"), 50)
      << printer(kSettings, QStringLiteral("Установка Смешения Даты (дней)"), 51)
      << printer(kSettings, QStringLiteral("Установка Числа Текстовых Строк"), 52, true)
      << printer(kSettings, QStringLiteral("ИНФО: Уставки Режима Печати"), 53);
    MenuItem info =
        printer(kSettings, QStringLiteral("ИНФО: УСТАВКИ СИСТЕМЫ ПЕЧАТИ\t(Ctrl+U)"), 55, true);
    info.shortcut = QStringLiteral("Ctrl+U");
    info.shortcutId = IdInfoKey;
    t << info << printer(kSettings, QStringLiteral("ИНФО: Время работы Маркиратора"), 60)
      << printer(kSettings, QStringLiteral("ИНФО: Число отпечатанных марок"), 61);

    MenuItem exit = plain(kFunctions, QStringLiteral("ВЫХОД (ЗАКРЫТЬ ПРОГРАММУ)"), 9, true);
    exit.shortcut = QStringLiteral("Ctrl+Q");
    exit.shortcutId = IdExitKey;
    t << exit << plain(kFunctions, QStringLiteral("ТЕКСТ МАРКИ"), 7)
      << plain(kFunctions, QStringLiteral("ГРАФИКА"), 8);

    t << plain(kMark, QStringLiteral("Создать Новую Марку"), 10, true)
      << plain(kMark, QStringLiteral("Открыть Файл Марки"), 11)
      << greyed(kMark, QStringLiteral("Сохранить Изменения"), 13)
      << greyed(kMark, QStringLiteral("Сохранить Марку как..."), 14, true)
      << printer(kMark, QStringLiteral("Чтение фрагмента Текущей Марки"), 56)
      << printer(kMark, QStringLiteral("Записать Фрагмент в Текущую Марку"), 17, true)
      << printer(kMark, QStringLiteral("ЧТЕНИЕ ТЕКУЩЕЙ МАРКИ"), 12)
      << printer(kMark, QStringLiteral("ЧТЕНИЕ МАРКИ #00..85"), 18, true)
      << printer(kMark, QStringLiteral("ЗАПИСАТЬ МАРКУ В МАРКИРАТОР..."), 15, true)
      << printer(kMark, QStringLiteral("Проверка Области Текстовых Марок"), 19);

    t << plain(kGraphic, QStringLiteral("Создать Новый Логотип"), 20)
      << plain(kGraphic, QStringLiteral("Открыть Файл Логотипа"), 21, true)
      << greyed(kGraphic, QStringLiteral("Сохранить изменение в файле"), 22)
      << plain(kGraphic, QStringLiteral("Сохранить Логотип как.."), 23, true)
      << printer(kGraphic, QStringLiteral("Чтение Логотипа из Маркиратора"), 25)
      << printer(kGraphic, QStringLiteral("Записать Логотип в Маркиратор"), 26)
      << printer(kGraphic, QStringLiteral("Удалить Логотип.."), 29, true)
      << printer(kGraphic, QStringLiteral("ЧТЕНИЕ БИТ-КАРТЫ ТЕКУЩЕЙ МАРКИ"), 28)
      << greyed(kGraphic, QStringLiteral("ЗАПИСАТЬ ГРАФИЧЕСКУЮ МАРКУ"), 27, true)
      << printer(kGraphic, QStringLiteral("Проверка Графической Области"), 24);

    t << plain(kEditor, QStringLiteral("Изменить X-размер"), 30)
      << plain(kEditor, QStringLiteral("Изменить Y-размер"), 31, true)
      << plain(kEditor, QStringLiteral("Инверсия Цвета"), 32, true)
      << plain(kEditor, QStringLiteral("Отменить Изменения"), 33)
      << plain(kEditor, QStringLiteral("Очистка Область Редактирования"), 34, true)
      << plain(kEditor, QStringLiteral("Инфо: Число активных капель в бит-карте"), 35);

    t << plain(kHelp, QStringLiteral("Сведения о Программе"), 40, true)
      << plain(kHelp, QStringLiteral("Подключение Компьютера к Маркиратору"), 41)
      << plain(kHelp, QStringLiteral("Быстрые команды"), 43)
      << plain(kHelp, QStringLiteral("Используемые Форматы Графики"), 42);
    return t;
}

} // namespace

QStringList menuTitles() {
    return {kFunctions, kMark, kGraphic, kEditor, kHelp};
}

QStringList submenusFollowedBySeparator() {
    return {kConnection, kSettings};
}

const QList<MenuItem>& menuItems() {
    static const QList<MenuItem> table = build();
    return table;
}

const MenuItem* menuItem(int id) {
    for (const MenuItem& m : menuItems())
        if (m.id == id)
            return &m;
    return nullptr;
}

int itemIdFor(int id) {
    for (const MenuItem& m : menuItems())
        if (m.shortcutId != 0 && m.shortcutId == id)
            return m.id;
    return id;
}

bool needsPort(int id) {
    const MenuItem* m = menuItem(itemIdFor(id));
    return m && m->needsPort;
}

int baudRateFor(int id) {
    static const int rates[] = {115200, 57600, 38400, 28800, 19200, 14400, 9600};
    return id >= 110 && id <= 116 ? rates[id - 110] : 0;
}

} // namespace app
