// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/status_view.h"

#include <QList>
#include <QMap>
#include <QPair>

// Keeps what the commands set, for assertions.
class RecordingStatusView : public platform::StatusView {
public:
    platform::Lamp textMarkLamp = platform::Lamp::Grey;
    platform::Lamp graphicLamp = platform::Lamp::Grey;
    QList<QPair<platform::LampTarget, platform::Lamp>> lampHistory;
    QMap<platform::MarkField, QString> markFields;
    QMap<platform::GraphicField, QString> graphicFields;

    void setLamp(platform::LampTarget target, platform::Lamp lamp) override {
        lampHistory.append({target, lamp});
        if (target != platform::LampTarget::Graphic)
            textMarkLamp = lamp;
        if (target != platform::LampTarget::TextMark)
            graphicLamp = lamp;
    }
    void setField(platform::MarkField field, const QString& text) override {
        markFields[field] = text;
    }
    void setField(platform::GraphicField field, const QString& text) override {
        graphicFields[field] = text;
    }
    QList<QPair<qint64, qint64>> progress; // (done, total) as shown
    void setProgress(qint64 done, qint64 total) override { progress.append({done, total}); }

    QString field(platform::MarkField field) const { return markFields.value(field); }
    QString field(platform::GraphicField field) const { return graphicFields.value(field); }
    void clearFields() {
        markFields.clear();
        graphicFields.clear();
    }
    bool noFields() const { return markFields.isEmpty() && graphicFields.isEmpty(); }
};
