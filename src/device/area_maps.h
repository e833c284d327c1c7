#pragma once

#include "link/session.h"

// "Проверка Области Текстовых Марок" and "Проверка Графической Области". The lamp is left as it
// was when the exchange succeeds.
void showTextMarkAreaMap(printerlink::Session& s);
void showGraphicAreaMap(printerlink::Session& s);
