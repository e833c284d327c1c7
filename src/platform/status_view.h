#pragma once

#include <QString>

namespace platform {

enum class Lamp { Grey, Transfer, Idle, Error };
enum class LampTarget { Both, TextMark, Graphic };
enum class ChildWindow { TextMark, Graphic };

// What commands change in the main window besides their dialogs: status fields, the link lamps
// and the enabled state of menu items (by command id).
class StatusView {
public:
    virtual ~StatusView() = default;
    virtual void setLamp(LampTarget target, Lamp lamp) = 0;
    virtual void setField(ChildWindow window, int field, const QString& text) = 0;
    virtual void setCommandEnabled(int id, bool enabled) = 0;
};

} // namespace platform
