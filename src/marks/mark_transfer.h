#pragma once

#include "link/session.h"

namespace marks {

void readCurrentMark(Session& s);
void readMarkByNumber(Session& s);
void writeMarkByNumber(Session& s);

} // namespace marks
