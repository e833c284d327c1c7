// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/dialogs.h"
#include "platform/status_view.h"

namespace agent {

// Nobody sits at an agent: operations ask nothing, and a dialog that opens anyway is answered
// as if cancelled. What happened reaches the broker in the result instead.
class QuietDialogs : public platform::Dialogs {
public:
    platform::MessageAnswer messageBox(const QString&, const QString&, platform::MessageIcon,
                                       platform::MessageButtons buttons) override {
        return buttons == platform::MessageButtons::Ok ? platform::MessageAnswer::Ok
                                                       : platform::MessageAnswer::Cancel;
    }
    QString inputRequester(const QString&, const QString&, const QString&) override { return {}; }
    QString promptDialog(const QString&, const QString&, const QString&) override { return {}; }
    QString portPromptDialog(const QString&, const QString&, const QString&,
                             const QString&) override {
        return {};
    }
    QString openFile(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFile(const QString&, const QString&, const QString&, OverwriteCheck) override {
        return {};
    }
};

class QuietStatus : public platform::StatusView {
public:
    void setLamp(platform::LampTarget, platform::Lamp) override {}
    void setField(platform::MarkField, const QString&) override {}
    void setField(platform::GraphicField, const QString&) override {}
};

} // namespace agent
