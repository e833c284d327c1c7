#pragma once

#include "link/session.h"

namespace marks {

void readFragment(Session& s);
void writeFragment(Session& s);

} // namespace marks
