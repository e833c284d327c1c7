// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/lamp_text.h"

namespace app {

using platform::Lamp;

QString lampStateText(Lamp lamp) {
    switch (lamp) {
    case Lamp::Grey:
        return QStringLiteral("Нет соединения с маркиратором");
    case Lamp::Transfer:
        return QStringLiteral("Идёт обмен с маркиратором");
    case Lamp::Idle:
        return QStringLiteral("Соединение с маркиратором установлено");
    case Lamp::Error:
        return QStringLiteral("Ошибка связи с маркиратором");
    }
    return {};
}

} // namespace app
