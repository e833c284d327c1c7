// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/print_mode_text.h"

#include <QStringList>

namespace device {
namespace {

struct Switch {
    quint8 bit;
    const char* label;
    int narrowTabs;
    int wideTabs;
    bool yesWhenClear; // the printer reports "automatic function off" with a set bit
};

// clang-format off
const Switch kSwitches[] = {
    {0x80, "Коррекция вертикальных линий", 1, 1, false},
    {0x40, "Реверс печати",                3, 3, false},
    {0x20, "Вертикальный переворот",       2, 2, false},
    {0x10, "Автоповтор Печати Марки",      2, 2, false},
    {0x08, "Синхронизация от ТахоДатчика", 1, 1, false},
    {0x04, "Задержка от ТахоДатчика",      2, 2, false},
    {0x02, "АвтоУстановка Порога Теста",   2, 1, true},
    {0x01, "Автоматическое Фазирование",   2, 1, true},
};
// clang-format on

} // namespace

QString printModeText(const QByteArray& reply, bool wideLayout) {
    const quint8 flags = reply.size() > 1 ? quint8(reply.at(1)) : quint8(0);
    QString text = QStringLiteral("ТЕКУЩИЕ УСТАВКИ РЕЖИМА ПЕЧАТИ:\r\n\n");
    for (const Switch& sw : kSwitches) {
        const bool set = (flags & sw.bit) != 0;
        text += QString::fromUtf8(sw.label) +
                QString(wideLayout ? sw.wideTabs : sw.narrowTabs, QLatin1Char('\t')) +
                (set != sw.yesWhenClear ? QStringLiteral("ДА") : QStringLiteral("нет"));
        if (wideLayout && sw.bit == 0x01)
            text += QStringLiteral("  ");
        text += QStringLiteral("\n\r");
    }
    return text;
}

} // namespace device
