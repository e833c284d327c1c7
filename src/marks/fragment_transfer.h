// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/session.h"

namespace marks {

void readFragment(printerlink::Session& s);
void writeFragment(printerlink::Session& s);

} // namespace marks
