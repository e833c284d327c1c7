// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/app_settings.h"

#include "app/menu_table.h"

#include <QSettings>

namespace app {

namespace {

const QString kPortKey = QStringLiteral("port/device");
const QString kBaudKey = QStringLiteral("port/baudRate");
const QString kFolderGroup = QStringLiteral("folders/");

bool isOfferedRate(int rate) {
    for (const MenuItem& item : menuItems()) {
        if (rate != 0 && baudRateFor(item.id) == rate)
            return true;
    }
    return false;
}

} // namespace

AppSettings::AppSettings() : settings_(std::make_unique<QSettings>()) {}

AppSettings::AppSettings(const QString& iniFile)
    : settings_(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {}

AppSettings::~AppSettings() = default;

QString AppSettings::lastPort() const {
    return settings_->value(kPortKey).toString();
}

void AppSettings::setLastPort(const QString& device) {
    settings_->setValue(kPortKey, device);
    settings_->sync();
}

int AppSettings::baudRate() const {
    const int rate = settings_->value(kBaudKey).toInt();
    return isOfferedRate(rate) ? rate : 0;
}

void AppSettings::setBaudRate(int rate) {
    settings_->setValue(kBaudKey, rate);
    settings_->sync();
}

QString AppSettings::folder(const QString& kind) const {
    return settings_->value(kFolderGroup + kind).toString();
}

void AppSettings::setFolder(const QString& kind, const QString& path) {
    settings_->setValue(kFolderGroup + kind, path);
    settings_->sync();
}

QString fileKind(const QString& filter) {
    return filter.contains(QLatin1String("*.mrt")) ? QStringLiteral("marks")
                                                   : QStringLiteral("pictures");
}

} // namespace app
