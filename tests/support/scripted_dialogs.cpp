// SPDX-License-Identifier: GPL-3.0-or-later
#include "scripted_dialogs.h"

#include <algorithm>

using namespace platform;

ScriptedDialogs& ScriptedDialogs::answer(MessageAnswer a) {
    queue_.append(QVariant::fromValue(int(a)));
    return *this;
}

ScriptedDialogs& ScriptedDialogs::answer(const QString& text) {
    queue_.append(QVariant(text));
    return *this;
}

MessageAnswer ScriptedDialogs::messageBox(const QString& title, const QString& text,
                                          MessageIcon icon, MessageButtons buttons) {
    shown.append({Kind::Message, title, text, {}, icon, buttons});
    if (whileShown)
        whileShown(shown.last());
    if (buttons == MessageButtons::Ok && okNeedsNoAnswer)
        return MessageAnswer::Ok;
    if (queue_.isEmpty() || queue_.first().typeId() != QMetaType::Int) {
        unexpected.append(QStringLiteral("message box without an answer: ") + title + " / " + text);
        return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
    }
    return MessageAnswer(queue_.takeFirst().toInt());
}

QString ScriptedDialogs::nextText(const QString& what) {
    if (queue_.isEmpty() || queue_.first().typeId() != QMetaType::QString) {
        unexpected.append(QStringLiteral("dialog without an answer: ") + what);
        return {};
    }
    return queue_.takeFirst().toString();
}

QString ScriptedDialogs::inputRequester(const QString& title, const QString& prompt,
                                        const QString& defaultText) {
    shown.append({Kind::Input, title, prompt, defaultText});
    if (whileShown)
        whileShown(shown.last());
    return nextText(title + " / " + prompt);
}

QString ScriptedDialogs::promptDialog(const QString& title, const QString& prompt,
                                      const QString& defaultText) {
    shown.append({Kind::Prompt, title, prompt, defaultText});
    if (whileShown)
        whileShown(shown.last());
    return nextText(title + " / " + prompt);
}

QString ScriptedDialogs::portPromptDialog(const QString& title, const QString& listText,
                                          const QString& prompt, const QString& defaultText) {
    shown.append({Kind::PortPrompt, title, prompt, listText});
    shown.last().defaultText = defaultText;
    if (whileShown)
        whileShown(shown.last());
    return nextText(title + " / " + prompt);
}

QString ScriptedDialogs::openFile(const QString& title, const QString& defaultName,
                                  const QString& filter) {
    shown.append({Kind::OpenFile, title, defaultName, filter});
    if (whileShown)
        whileShown(shown.last());
    return nextText(title);
}

QString ScriptedDialogs::saveFile(const QString& title, const QString& defaultName,
                                  const QString& filter, OverwriteCheck overwrite) {
    lastOverwriteCheck = overwrite;
    shown.append({Kind::SaveFile, title, defaultName, filter});
    if (whileShown)
        whileShown(shown.last());
    return nextText(title);
}

QList<ScriptedDialogs::Shown> ScriptedDialogs::messages() const {
    QList<Shown> out;
    for (const auto& s : shown) {
        if (s.kind == Kind::Message)
            out.append(s);
    }
    return out;
}

void ScriptedDialogs::showSteps(const QString&, int done, int total, const QString& item) {
    steps.append(QStringLiteral("%1/%2 %3").arg(done).arg(total).arg(item).trimmed());
    if (onStep && total > 0)
        onStep(item);
}

bool ScriptedDialogs::stopRequested() {
    if (stopAfterItems < 0)
        return false;
    const auto begun = std::count_if(steps.begin(), steps.end(), [](const QString& s) {
        return !s.startsWith(QLatin1String("0/0"));
    });
    return begun >= stopAfterItems;
}
