// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/editor_commands.h"

#include "logos/column_packing.h"
#include "logos/logo_document.h"
#include "platform/number_prompt.h"

using namespace platform;
using namespace printerlink;

namespace editor {

namespace {

constexpr int MaxEditWidth = 256;

const QString ResizeTitle = QStringLiteral("Изменение Размеров Логотипа");

void showEditedSize(Session& s) {
    s.status.setField(GraphicField::Size,
                      QStringLiteral("XY-size = %1:%2").arg(s.logo->width()).arg(s.logo->height()));
}

} // namespace

void changeLogoWidth(Session& s) {
    logos::LogoDocument& logo = *s.logo;
    NumberPrompt prompt(ResizeTitle, QStringLiteral("Введите размер 'X', точек (не более 256)"), 1,
                        MaxEditWidth);
    prompt.defaultText = QString::number(logo.width());
    prompt.window = NumberPrompt::Window::Prompt;
    const NumberAnswer width = askNumber(s.dialogs, prompt);
    if (width.end == NumberAnswer::End::Cancelled)
        return;
    if (width)
        logo.resizeLogo(QSize(int(width.value), logo.height()));
    showEditedSize(s);
}

void changeLogoHeight(Session& s) {
    logos::LogoDocument& logo = *s.logo;
    NumberPrompt prompt(ResizeTitle, QStringLiteral("Введите размер 'Y', точек (не более 32)"), 1,
                        logos::MaxLogoHeight);
    prompt.defaultText = QString::number(logo.height());
    prompt.window = NumberPrompt::Window::Prompt;
    const NumberAnswer height = askNumber(s.dialogs, prompt);
    if (!height)
        return;
    logo.resizeLogo(QSize(logo.width(), 8 * logos::byteRowsFor(int(height.value))));
    showEditedSize(s);
}

void invertLogo(Session& s) {
    s.logo->invert();
}

void undoLogoChange(Session& s) {
    if (!s.logo->canUndo())
        return;
    s.logo->undo();
    showEditedSize(s);
}

void clearLogoArea(Session& s) {
    s.logo->clearArea();
}

void countLogoDots(Session& s) {
    s.dialogs.messageBox(
        QStringLiteral("Параметры Марки"),
        QStringLiteral("Число активных капель в бит-карте:  %1  ").arg(s.logo->countBlackDots()),
        MessageIcon::Information, MessageButtons::Ok);
}

} // namespace editor
