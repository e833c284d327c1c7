// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/result.h"
#include "operations/registry.h"

#include <QJsonObject>
#include <QTemporaryDir>

#include <optional>

namespace agent {

// Files and folders of a command travel in its JSON, never as paths of the agent's machine:
// - a file argument given as text ({"file": "..."} or {"file": {"text": ...}}, or
//   {"base64": ...} for bytes) is written into a private folder and the operation reads it;
// - one not given, or given only a {"name": "x.png"}, is a file the operation writes: it comes
//   back in the answer's data as {"name", "base64"} (and "text" for a text file);
// - a folder is a name inside the agent's backup folder.
class FileArguments {
public:
    FileArguments(const operations::Operation& op, const QString& backupDir);

    // The command's arguments with paths in place of contents.
    printerlink::Result<QJsonObject> prepare(const QJsonObject& args);
    // Adds the files the operation wrote to the answer's data.
    void collect(QJsonObject& answer) const;

private:
    const operations::Operation& op_;
    QString backupDir_;
    // Made for the first file argument only: most commands have none, and a folder made and
    // removed for each of them costs more than the command's own exchange.
    std::optional<QTemporaryDir> scratch_;
    QList<QPair<QString, QString>> outputs_; // argument name, path
};

} // namespace agent
