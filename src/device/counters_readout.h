#pragma once

#include "link/session.h"

// "ИНФО: Время работы Маркиратора".
void readRunningHours(printerlink::Session& s);
// "ИНФО: Число отпечатанных марок".
void readPrintedMarks(printerlink::Session& s);
