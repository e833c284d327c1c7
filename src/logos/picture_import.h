// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/session.h"
#include "logos/picture_conversion.h"

#include <QString>
#include <optional>

// "Импорт рисунка...": any picture into the logo, through a dialog that previews the dots.
namespace logos {

// The dialog that chooses the conversion: the window shows a live preview, tests answer.
class PictureImportDialog {
public:
    virtual ~PictureImportDialog() = default;
    // The options chosen (OK), or nothing (Отмена). `name` is the file as the user should see it.
    virtual std::optional<ConversionOptions> choose(const WorkingPicture& picture,
                                                    const QString& name) = 0;
};

// Offers to save an unsaved drawing, asks for the file, reads it, lets the dialog choose and
// puts the dots into the logo as one undo step. Every refusal names the file; Отмена anywhere
// changes nothing.
void importPicture(printerlink::Session& s, PictureImportDialog& dialog);

// "Рисунок: logo.png, 4000 x 4000 пикселей"
QString pictureInfoText(const QString& name, QSize sourceSize);
// "Результат: 100 x 32 точек, активных капель: 1234"
QString resultText(QSize size, int dotCount);
// What a result wider than one logo slot will be cut into; "" when it fits one.
QString splitNoticeText(QSize size);

} // namespace logos
