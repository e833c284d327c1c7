// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QJsonObject>
#include <QString>

namespace operations {

// The labelled lines of a read-out ("Label\t\tvalue") as an object; lines without a value are
// left out. A repeated label gets " (2)", " (3)" ... so that no value is lost.
QJsonObject readoutValues(const QString& text);

} // namespace operations
