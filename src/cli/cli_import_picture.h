// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <functional>

// inkwick-cli import-picture: a picture of any format into a BIN, PBM or BMP logo file, by the
// same conversion as the window's import.
namespace cli {

QString importPictureSynopsis();
QString importPictureHelp();

// `args` after the command name. Fills `result` (JSON) and `text` (stdout); refusals go to
// `message`. Returns the exit status.
int importPicture(const QStringList& args, QJsonObject& result, QString& text,
                  const std::function<void(const QString&)>& message);

} // namespace cli
