// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "operations/registry.h"

#include <QJsonArray>

// What the tables of operations are built from.
namespace operations {

Argument integer(const QString& name, int low, int high, const QString& what, const QString& help);
Argument path(const QString& name, ArgType type, const QString& metavar, const QString& help);
// An option without a value: --name.
Argument flag(const QString& name, const QString& help);

// What was typed cannot be taken: no box of the window says it.
printerlink::Failure argumentRefusal(const QString& text);

QJsonArray jsonNumbers(const QList<int>& list);

} // namespace operations
