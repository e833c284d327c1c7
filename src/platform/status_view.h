// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace platform {

enum class Lamp { Grey, Transfer, Idle, Error };
enum class LampTarget { Both, TextMark, Graphic };
enum class ChildWindow { TextMark, Graphic };

// The text fields of the mark window's status bar; where each one sits is the window's business.
enum class MarkField { File, Port, Clock };
// The text fields of the graphic window's status bar.
enum class GraphicField { File, Pointer, Size, Port };

// What commands change in the main window besides their dialogs: status texts and the link
// lamps.
class StatusView {
public:
    virtual ~StatusView() = default;
    virtual void setLamp(LampTarget target, Lamp lamp) = 0;
    virtual void setField(MarkField field, const QString& text) = 0;
    virtual void setField(GraphicField field, const QString& text) = 0;
    // How far a long transfer has got, in bytes; a total of 0 ends the display.
    virtual void setProgress(qint64 /*done*/, qint64 /*total*/) {}
};

} // namespace platform
