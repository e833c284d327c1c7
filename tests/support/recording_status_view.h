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
    QMap<QPair<int, int>, QString> fields; // (window, field) -> text
    QMap<int, bool> enabled;               // command id -> state, only those changed

    void setLamp(platform::LampTarget target, platform::Lamp lamp) override {
        lampHistory.append({target, lamp});
        if (target != platform::LampTarget::Graphic)
            textMarkLamp = lamp;
        if (target != platform::LampTarget::TextMark)
            graphicLamp = lamp;
    }
    void setField(platform::ChildWindow window, int field, const QString& text) override {
        fields[{int(window), field}] = text;
    }
    void setCommandEnabled(int id, bool on) override { enabled[id] = on; }

    QString field(platform::ChildWindow window, int field) const {
        return fields.value({int(window), field});
    }
};
