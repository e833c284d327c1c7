#pragma once

#include "platform/port_catalogue.h"

class FixedPortCatalogue : public PortCatalogue {
public:
    QList<PortEntry> entries;
    QList<PortEntry> ports() override { return entries; }
};
