// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/port_catalogue.h"

class FixedPortCatalogue : public platform::PortCatalogue {
public:
    QList<platform::PortEntry> entries;
    QList<platform::PortEntry> ports() override { return entries; }
};
