// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <memory>

class QSettings;

namespace app {

// What the program remembers between runs: the port last opened (by its device path, which
// stays the same when the COM numbers do not), the baud rate, and the folder each kind of file
// dialog was last left in.
class AppSettings {
public:
    // The user's own settings, under the application's organisation and name.
    AppSettings();
    // Settings kept in the given INI file instead.
    explicit AppSettings(const QString& iniFile);
    ~AppSettings();

    QString lastPort() const;
    void setLastPort(const QString& device);
    // 0 when none is stored or the stored one is not a rate the program offers.
    int baudRate() const;
    void setBaudRate(int rate);
    // "" when none is stored.
    QString folder(const QString& kind) const;
    void setFolder(const QString& kind, const QString& path);

private:
    std::unique_ptr<QSettings> settings_;
};

// The kind of file a dialog's filter ("Desc|*.a;*.b|...") offers, for its remembered folder:
// marks and pictures each keep their own.
QString fileKind(const QString& filter);

} // namespace app
