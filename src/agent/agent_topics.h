// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace agent {

// Everything of one printer lives under inkwick/<printer>/.
struct Topics {
    QString prefix; // "inkwick/line1"

    explicit Topics(const QString& printer) : prefix(QStringLiteral("inkwick/") + printer) {}
    QString status() const { return prefix + QStringLiteral("/status"); }
    QString readouts() const { return prefix + QStringLiteral("/readouts"); }
    QString commands() const { return prefix + QStringLiteral("/cmd/+"); }
    QString command(const QString& operation) const {
        return prefix + QStringLiteral("/cmd/") + operation;
    }
    QString result(const QString& id) const { return prefix + QStringLiteral("/result/") + id; }
    // Refusals of bodies without a usable id, which have no result topic of their own.
    QString errors() const { return prefix + QStringLiteral("/errors"); }
};

} // namespace agent
