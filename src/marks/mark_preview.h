// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "marks/mark_model.h"

#include <QFont>
#include <QImage>

namespace marks {

inline constexpr int kPreviewWidth = 8192;
inline constexpr int kPreviewHeight = 80;

// "Arial Narrow" 12 pt bold where installed, else its metric twin "Liberation Sans Narrow".
QFont previewFont();
QImage blankPreview();

// Draws the fragment texts: line 1 at the bottom, line 4 at the top, fragment F of every line
// at the same x, each fragment position as wide as its widest text.
void drawMarkPreview(QImage& image, const MarkRows& rows);

// A text's width in the preview font, in pixels; 0 for an empty text.
int previewTextWidth(const QString& text);

// The x at which each fragment position starts (8 entries), as drawMarkPreview lays them out.
std::array<int, 8> previewColumnStarts(const MarkRows& rows);

} // namespace marks
