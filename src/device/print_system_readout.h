#pragma once

#include "link/session.h"

// "ИНФО: УСТАВКИ СИСТЕМЫ ПЕЧАТИ" (Ctrl+U).
void readPrintSystemSettings(printerlink::Session& s);
