// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace platform {

// Windows-1251, the printer's and the mark files' code page.
QString fromCp1251(QByteArrayView bytes);
// Characters the code page cannot hold make ok false and are sent as '?'.
QByteArray toCp1251(const QString& text, bool* ok = nullptr);
// The characters of text that Windows-1251 cannot hold, each once.
QString unencodableCp1251(const QString& text);

} // namespace platform
