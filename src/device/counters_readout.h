#pragma once

#include "link/session.h"

// "ИНФО: Время работы Маркиратора".
void readRunningHours(Session& s);
// "ИНФО: Число отпечатанных марок".
void readPrintedMarks(Session& s);
