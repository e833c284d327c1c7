// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/com_numbers.h"

#include <algorithm>

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace platform {

void ComNumbers::assign(QList<PortEntry>& ports, const QStringList& keys) {
    Q_ASSERT(ports.size() == keys.size());
    QSet<int> taken;
    for (int n : std::as_const(known_))
        taken.insert(n);
    int next = 1;
    for (qsizetype i = 0; i < ports.size(); ++i) {
        int number = known_.value(keys[i]);
        if (number == 0) {
            while (taken.contains(next))
                ++next;
            number = next;
            taken.insert(number);
            known_.insert(keys[i], number);
        }
        ports[i].name = QStringLiteral("COM%1").arg(number);
    }
}

void sortByNumber(QList<PortEntry>& ports) {
    std::stable_sort(ports.begin(), ports.end(), [](const PortEntry& a, const PortEntry& b) {
        return a.name.mid(3).toInt() < b.name.mid(3).toInt();
    });
}

QString stableDeviceKey(const QString& device, const QString& byIdDir) {
    const QString target = QFileInfo(device).canonicalFilePath();
    if (!target.isEmpty()) {
        const QFileInfoList links = QDir(byIdDir).entryInfoList(
            QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
        for (const QFileInfo& link : links)
            if (link.isSymLink() && link.canonicalFilePath() == target)
                return link.absoluteFilePath();
    }
    return device;
}

} // namespace platform
