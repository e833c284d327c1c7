// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/help_texts.h"

#include "link/session.h"

using namespace platform;
using namespace printerlink;

namespace app {

HelpScreen aboutHelp() {
    return {QStringLiteral("Программа 'Inkwick 4.0'"),
            QStringLiteral("   Программа предназначена для выполнения операций с \n\r"
                           "текстовыми марками и логотипами для маркираторов 'ЗОР'\n\r"
                           "(только для моделей 'K307/K309').\n\r\n\r"
                           "ВЕРСИЯ:   Inkwick  4.0  для ОС 'Windows XP/Vista/Win7/Win8'.\n\r\n\r"),
            MessageIcon::Information};
}

HelpScreen connectionHelp() {
    return {QStringLiteral("ПОДКЛЮЧЕНИЕ ПК К МАРКИРАТОРУ"),
            QStringLiteral("1. ВЫКЛЮЧИТЕ ПИТАНИЕ МАРКИРАТОРА!\n\r"
                           "2. Подключите соединительный кабель к ПК и маркиратору\n\r"
                           "    НЕОБХОДИМ КАБЕЛЬ ТИПА 'Z-МОДЕМ'!\n\r"
                           "3. Проверьте установки порта для выбранного СОМ-порта\n\r"
                           "    (должны быть: 115200,8,N,1):\n\r"
                           "      >> Панель Управления >> Диспетчер Устройств >>\n\r"
                           "      >> Порты (COM и LPT) >> Выбранный Порт (USB) >>\n\r"
                           "      >> Свойства >> Параметры Порта >> 'Дополнительно'\n\r"
                           "4. ВКЛЮЧИТЕ ПИТАНИЕ МАРКИРАТОРА.\n\r"
                           "5. Выполните в программе 'Inkwick' команду:\n\r"
                           "\tПОДКЛЮЧЕНИЕ >> ОТКРЫТЬ COM-ПОРТ >>\n\r"
                           "\t >> Введите Номер Выбранного Порта.\n\r"
                           "При правильно выполненных операциях появится сообщение\n\r"
                           "с ВЕРСИЕЙ ПРОГРАММЫ Системы Печати Маркиратора.\r\n\n"
                           "ПРИМЕЧАНИЕ:  В современных ноутбуках и нетбуках СОМ-порт\n\r"
                           "отсутствует. В этом случае потребуется переходник USB<>COM."),
            MessageIcon::Information};
}

HelpScreen shortcutHelp() {
    return {QStringLiteral("КОМАНДЫ БЫСТРОГО ДОСТУПА"),
            QStringLiteral("<CTRL+C>\tПодключение к Маркиратору\n\r"
                           "<CTRL+G>\tГРАФИКА\n\r"
                           "<CTRL+M>\tМАРКА\n\r"
                           "<CTRL+U>\tУставки Системы Печати\n\r"
                           "<CTRL+Q>\tВыход"),
            MessageIcon::Information};
}

HelpScreen pictureFormatsHelp() {
    return {QStringLiteral("Форматы Графических Файлов для Маркиратора"),
            QStringLiteral("ФОРМАТ 'BMP' ( ГРАФИЧЕСКИЙ ФАЙЛ )\n\r"
                           "Файлы '.BMP' создаются стандартной программой Windows 'PAINT'.\n\r"
                           "Для записи в маркиратор они должны быть в черно-белом формате.\n\r"
                           "Особенностью является ограничение максимального размера данных\n\r"
                           "(для Y=32 значение X=1..63, для Y=16 значение X=1..126).\n\r\n\r"
                           "ФОРМАТ 'BIN' ( ЛОГОТИП )\n\r"
                           "Созданные с помощью программы 'Glyphsmith' или этой программы\n\r"
                           "файлы '*.BIN' являются логотипами, т.е. могут быть записаны в\n\r"
                           "маркиратор без дополнительных преобразований. Особенностью\n\r"
                           "является ограничение максимального размера данных до 252 байт\n\r"
                           "(для Y=32 значение X=1..63, для Y=16 значение X=1..126).\n\r\n\r"
                           "ФОРМАТ 'PBM' ( ГРАФИЧЕСКИЙ ФАЙЛ )\n\r"
                           "Файлы '.PBM' создаются программой 'Glyphsmith' при некоторых видах\n\r"
                           "операций, например формировании Штрих-кода. Размер таких файлов,\n\r"
                           "как правило, превышает допустимый размер для логотипа.\n\r"
                           "Могут быть записаны в маркиратор ТОЛЬКО после разделения на\n\r"
                           "несколько файлов '*.BIN'  (предлагается при открытии файла).\n\r"
                           "ПРИМЕЧАНИЕ: Файлы '.PBM' также могут быть записаны в маркираторы,\n\r"
                           "имеющие ОПЦИЮ прямой печати графической марки."),
            MessageIcon::None};
}

HelpScreen helpScreen(CommandId id) {
    switch (id) {
    case CommandId::HelpAbout:
        return aboutHelp();
    case CommandId::HelpConnection:
        return connectionHelp();
    case CommandId::HelpFormats:
        return pictureFormatsHelp();
    case CommandId::HelpShortcuts:
        return shortcutHelp();
    default:
        return {};
    }
}

void showHelp(Session& s, CommandId id) {
    const HelpScreen h = helpScreen(id);
    if (!h.title.isEmpty())
        s.dialogs.messageBox(h.title, h.text, h.icon, MessageButtons::Ok);
}

} // namespace app
