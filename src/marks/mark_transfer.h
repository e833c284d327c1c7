#pragma once

#include "link/session.h"

namespace marks {

void readCurrentMark(printerlink::Session& s);
void readMarkByNumber(printerlink::Session& s);
void writeMarkByNumber(printerlink::Session& s);

} // namespace marks
