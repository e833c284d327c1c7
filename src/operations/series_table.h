// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "operations/registry.h"

namespace operations {

// backup, restore, compare and write-parts: the service menu's series, in the registry's order.
QList<Operation> seriesOperations();

} // namespace operations
