#pragma once

#include "link/session.h"

// The РедакторГрафики menu. None needs the printer.
namespace editor {

void changeLogoWidth(Session& s); // "Изменить X-размер": 1..256 columns, anchored bottom-left
void changeLogoHeight(Session& s); // "Изменить Y-размер": 1..32, rounded up to whole bytes
void invertLogo(Session& s);       // "Инверсия Цвета"
void undoLogoChange(Session& s); // "Отменить Изменения": takes back the last editor step
void clearLogoArea(Session& s); // "Очистка Область Редактирования"
void countLogoDots(Session& s); // "Инфо: Число активных капель в бит-карте"

} // namespace editor
