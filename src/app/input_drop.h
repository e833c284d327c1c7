// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

namespace app {

// For as long as it lives (one command), clicks and keys are dropped unless they go to the
// dialog the command has opened; what the window system still holds back when it ends is
// dropped too, never replayed into the window after the command.
class InputDrop : public QObject {
public:
    InputDrop();
    ~InputDrop() override;
    InputDrop(const InputDrop&) = delete;
    InputDrop& operator=(const InputDrop&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
};

} // namespace app
