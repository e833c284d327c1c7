// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/status_view.h"

#include <QString>

namespace app {

// What a link lamp's colour says, for its tooltip and for screen readers.
QString lampStateText(platform::Lamp lamp);

} // namespace app
