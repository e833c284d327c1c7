#pragma once

#include <QString>

QString readErrorText(const QString& portName);
QString writeErrorText(const QString& portName);
