// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "operations/readout_values.h"
#include "platform/plain_text.h"

namespace cli {

using operations::readoutValues;
using platform::plainText;

} // namespace cli
