// SPDX-License-Identifier: GPL-3.0-or-later
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
const QString kService = QStringLiteral("СЕРВИС");
const QString kHelp = QStringLiteral("Помощь");

MenuItem plain(const QString& path, const QString& text, CommandId id,
               bool separatorAfter = false) {
    MenuItem m;
    m.path = path;
    m.text = text;
    m.id = id;
    m.separatorAfter = separatorAfter;
    return m;
}

// A printer command: greyed until a port is open, guarded.
MenuItem printer(const QString& path, const QString& text, CommandId id,
                 bool separatorAfter = false) {
    MenuItem m = plain(path, text, id, separatorAfter);
    m.needsPort = true;
    m.enabledAtStart = false;
    m.onOpen = OnOpen::Enable;
    return m;
}

MenuItem greyed(const QString& path, const QString& text, CommandId id,
                bool separatorAfter = false) {
    MenuItem m = plain(path, text, id, separatorAfter);
    m.enabledAtStart = false;
    return m;
}

constexpr int kBaudRates[] = {115200, 57600, 38400, 28800, 19200, 14400, 9600};
constexpr CommandId kBaudIds[] = {CommandId::Baud115200, CommandId::Baud57600, CommandId::Baud38400,
                                  CommandId::Baud28800,  CommandId::Baud19200, CommandId::Baud14400,
                                  CommandId::Baud9600};

MenuItem baud(CommandId id, int rate) {
    MenuItem m = plain(kBaud, QStringLiteral("%1,N,8,1").arg(rate), id);
    m.checkedAtStart = id == CommandId::Baud115200;
    return m;
}

QList<MenuItem> build() {
    QList<MenuItem> t;
    MenuItem open =
        plain(kConnection, QStringLiteral("ОТКРЫТЬ COM-ПОРТ\t(Ctrl+C)"), CommandId::OpenPort);
    open.shortcutId = CommandId::OpenPortKey;
    open.onOpen = OnOpen::Grey;
    t << open;
    MenuItem close = greyed(kConnection, QStringLiteral("ЗАКРЫТЬ COM-ПОРТ"), CommandId::ClosePort);
    close.onOpen = OnOpen::Enable;
    t << close;
    for (int i = 0; i < 7; ++i)
        t << baud(kBaudIds[i], kBaudRates[i]);

    t << printer(kSettings, QStringLiteral("Версия Системы Печати Маркиратора"), CommandId::Version,
                 true)
      << printer(kSettings, QStringLiteral("Установка Часов (Дата+Время)"), CommandId::SetClock)
      << printer(kSettings, QStringLiteral("Установка Смешения Даты (дней)"),
                 CommandId::SetDateOffset)
      << printer(kSettings, QStringLiteral("Установка Числа Текстовых Строк"),
                 CommandId::SetPrintLines, true)
      << printer(kSettings, QStringLiteral("ИНФО: Уставки Режима Печати"),
                 CommandId::PrintModeInfo);
    MenuItem info = printer(kSettings, QStringLiteral("ИНФО: УСТАВКИ СИСТЕМЫ ПЕЧАТИ\t(Ctrl+U)"),
                            CommandId::PrintSystemInfo, true);
    info.shortcutId = CommandId::PrintSystemKey;
    t << info
      << printer(kSettings, QStringLiteral("ИНФО: Время работы Маркиратора"),
                 CommandId::RunningHours)
      << printer(kSettings, QStringLiteral("ИНФО: Число отпечатанных марок"),
                 CommandId::PrintedMarks);

    MenuItem exit =
        plain(kFunctions, QStringLiteral("ВЫХОД (ЗАКРЫТЬ ПРОГРАММУ)"), CommandId::Exit, true);
    exit.shortcutId = CommandId::ExitKey;
    t << exit << plain(kFunctions, QStringLiteral("ТЕКСТ МАРКИ"), CommandId::MarkWindow)
      << plain(kFunctions, QStringLiteral("ГРАФИКА"), CommandId::GraphicWindow);

    t << plain(kMark, QStringLiteral("Создать Новую Марку"), CommandId::NewMark, true)
      << plain(kMark, QStringLiteral("Открыть Файл Марки"), CommandId::OpenMarkFile)
      << greyed(kMark, QStringLiteral("Сохранить Изменения"), CommandId::SaveMark)
      << greyed(kMark, QStringLiteral("Сохранить Марку как..."), CommandId::SaveMarkAs, true)
      << printer(kMark, QStringLiteral("Чтение фрагмента Текущей Марки"), CommandId::ReadFragment)
      << printer(kMark, QStringLiteral("Записать Фрагмент в Текущую Марку"),
                 CommandId::WriteFragment, true)
      << printer(kMark, QStringLiteral("ЧТЕНИЕ ТЕКУЩЕЙ МАРКИ"), CommandId::ReadCurrentMark)
      << printer(kMark, QStringLiteral("ЧТЕНИЕ МАРКИ #00..85"), CommandId::ReadMark, true)
      << printer(kMark, QStringLiteral("ЗАПИСАТЬ МАРКУ В МАРКИРАТОР..."), CommandId::WriteMark,
                 true)
      << printer(kMark, QStringLiteral("Проверка Области Текстовых Марок"),
                 CommandId::TextMarkArea);

    t << plain(kGraphic, QStringLiteral("Создать Новый Логотип"), CommandId::NewLogo)
      << plain(kGraphic, QStringLiteral("Открыть Файл Логотипа"), CommandId::OpenLogoFile)
      << plain(kGraphic, QStringLiteral("Импорт рисунка..."), CommandId::ImportPicture, true)
      << greyed(kGraphic, QStringLiteral("Сохранить изменение в файле"), CommandId::SaveLogo)
      << plain(kGraphic, QStringLiteral("Сохранить Логотип как.."), CommandId::SaveLogoAs, true)
      << printer(kGraphic, QStringLiteral("Чтение Логотипа из Маркиратора"), CommandId::ReadLogo)
      << printer(kGraphic, QStringLiteral("Записать Логотип в Маркиратор"), CommandId::WriteLogo)
      << printer(kGraphic, QStringLiteral("Удалить Логотип.."), CommandId::DeleteLogo, true)
      << printer(kGraphic, QStringLiteral("ЧТЕНИЕ БИТ-КАРТЫ ТЕКУЩЕЙ МАРКИ"), CommandId::MarkBitmap)
      << greyed(kGraphic, QStringLiteral("ЗАПИСАТЬ ГРАФИЧЕСКУЮ МАРКУ"), CommandId::WriteGraphicMark,
                true)
      << printer(kGraphic, QStringLiteral("Проверка Графической Области"), CommandId::GraphicArea);

    t << plain(kEditor, QStringLiteral("Изменить X-размер"), CommandId::LogoWidth)
      << plain(kEditor, QStringLiteral("Изменить Y-размер"), CommandId::LogoHeight, true)
      << plain(kEditor, QStringLiteral("Инверсия Цвета"), CommandId::InvertLogo, true)
      << plain(kEditor, QStringLiteral("Отменить Изменения"), CommandId::UndoLogo)
      << plain(kEditor, QStringLiteral("Очистка Область Редактирования"), CommandId::ClearLogo,
               true)
      << plain(kEditor, QStringLiteral("Инфо: Число активных капель в бит-карте"),
               CommandId::CountDots);

    t << plain(kService, QStringLiteral("ЖУРНАЛ ОБМЕНА"), CommandId::ProtocolLog, true);
    t << printer(kService, QStringLiteral("Резервная копия Маркиратора..."), CommandId::Backup)
      << printer(kService, QStringLiteral("Восстановить из резервной копии..."), CommandId::Restore)
      << printer(kService, QStringLiteral("Сравнить с резервной копией..."),
                 CommandId::CompareBackup, true)
      << printer(kService, QStringLiteral("Записать части рисунка в Маркиратор..."),
                 CommandId::WriteLogoParts);

    t << plain(kHelp, QStringLiteral("Сведения о Программе"), CommandId::HelpAbout, true)
      << plain(kHelp, QStringLiteral("Подключение Компьютера к Маркиратору"),
               CommandId::HelpConnection)
      << plain(kHelp, QStringLiteral("Быстрые команды"), CommandId::HelpShortcuts)
      << plain(kHelp, QStringLiteral("Используемые Форматы Графики"), CommandId::HelpFormats);
    return t;
}

} // namespace

QStringList menuTitles() {
    return {kFunctions, kMark, kGraphic, kEditor, kService, kHelp};
}

QStringList submenusFollowedBySeparator() {
    return {kConnection, kSettings};
}

const QList<MenuItem>& menuItems() {
    static const QList<MenuItem> table = build();
    return table;
}

const MenuItem* menuItem(CommandId id) {
    for (const MenuItem& m : menuItems())
        if (m.id == id)
            return &m;
    return nullptr;
}

CommandId itemIdFor(CommandId id) {
    for (const MenuItem& m : menuItems())
        if (m.shortcutId != CommandId::None && m.shortcutId == id)
            return m.id;
    return id;
}

bool needsPort(CommandId id) {
    const MenuItem* m = menuItem(itemIdFor(id));
    return m && m->needsPort;
}

int baudRateFor(CommandId id) {
    for (int i = 0; i < 7; ++i)
        if (kBaudIds[i] == id)
            return kBaudRates[i];
    return 0;
}

const QList<Shortcut>& shortcuts() {
    // Cyrillic letters arrive as their upper-case code point.
    auto ctrl = [](int latin, char16_t cyrillic) {
        return QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key(latin)),
                                   QKeySequence(Qt::CTRL | Qt::Key(cyrillic))};
    };
    static const QList<Shortcut> table = {
        {CommandId::LogoModeKey, ctrl(Qt::Key_G, u'П')},
        {CommandId::MarkModeKey, ctrl(Qt::Key_M, u'Ь')},
        {CommandId::OpenPortKey, ctrl(Qt::Key_C, u'С')},
        {CommandId::ExitKey, ctrl(Qt::Key_Q, u'Й')},
        {CommandId::PrintSystemKey, ctrl(Qt::Key_U, u'Г')},
    };
    return table;
}

} // namespace app
