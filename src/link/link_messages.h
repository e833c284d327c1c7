#pragma once

#include <QString>

namespace printerlink {

QString readErrorText(const QString& portName);
QString writeErrorText(const QString& portName);

} // namespace printerlink
