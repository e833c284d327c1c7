#pragma once

#include "link/session.h"

// "ИНФО: Уставки Режима Печати".
void readPrintModeSettings(printerlink::Session& s);
