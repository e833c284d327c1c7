#pragma once

#include "platform/status_view.h"

#include <QList>
#include <QMap>
#include <QPair>

// Keeps what the commands set, for assertions.
class RecordingStatusView : public StatusView {
public:
    Lamp textMarkLamp = Lamp::Grey;
    Lamp graphicLamp = Lamp::Grey;
    QList<QPair<LampTarget, Lamp>> lampHistory;
    QMap<QPair<int, int>, QString> fields; // (window, field) -> text
    QMap<int, bool> enabled;               // command id -> state, only those changed

    void setLamp(LampTarget target, Lamp lamp) override {
        lampHistory.append({target, lamp});
        if (target != LampTarget::Graphic)
            textMarkLamp = lamp;
        if (target != LampTarget::TextMark)
            graphicLamp = lamp;
    }
    void setField(ChildWindow window, int field, const QString& text) override {
        fields[{int(window), field}] = text;
    }
    void setCommandEnabled(int id, bool on) override { enabled[id] = on; }

    QString field(ChildWindow window, int field) const {
        return fields.value({int(window), field});
    }
};
