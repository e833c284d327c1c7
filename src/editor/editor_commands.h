// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/session.h"

// The РедакторГрафики menu. None needs the printer.
namespace editor {

void changeLogoWidth(
    printerlink::Session& s); // "Изменить X-размер": 1..256 columns, anchored bottom-left
void changeLogoHeight(
    printerlink::Session& s); // "Изменить Y-размер": 1..32, rounded up to whole bytes
void invertLogo(printerlink::Session& s); // "Инверсия Цвета"
void undoLogoChange(
    printerlink::Session& s); // "Отменить Изменения": takes back the last editor step
void clearLogoArea(printerlink::Session& s); // "Очистка Область Редактирования"
void countLogoDots(printerlink::Session& s); // "Инфо: Число активных капель в бит-карте"

} // namespace editor
