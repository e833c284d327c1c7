// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

#include <vector>

// Any picture into printer dots: scaled by area averaging to the chosen height, then cut at a
// threshold (automatic by Otsu's rule, or fixed) or dithered. Transparent parts count as white.
//
// The picture is first reduced once to a working size of at most WorkingRows rows; every change
// of the options then works from that, so it costs a small fraction of the first reduction.
namespace logos {

inline constexpr int MaxImportWidth = 1664; // the widest picture the printer's files hold
inline constexpr int WorkingRows = 256;     // eight working rows per dot at the full 32
inline constexpr int WorkingColumns = 8 * MaxImportWidth;
// A working value at or above this is white paper for the trim (JPEG noise stays white).
inline constexpr int TrimLevel = 250;
inline constexpr int AutomaticThreshold = -1;

enum class Dithering { None, FloydSteinberg, Bayer };

struct ConversionOptions {
    int height = 32; // 1..32 dots
    int width = 0;   // dots; 0 follows the aspect ratio
    // Luminance below it is a dot (0..255); automatic: Otsu's threshold without dithering,
    // the middle (128) with it.
    int threshold = AutomaticThreshold;
    Dithering dithering = Dithering::None;
    bool invert = false;
    bool trim = false; // drop the white margins before scaling
};

// Luminance on white paper, 0 black .. 255 white, row by row.
struct LuminancePlane {
    int width = 0;
    int height = 0;
    std::vector<float> values;
    float at(int x, int y) const { return values[size_t(y) * size_t(width) + size_t(x)]; }
    bool isNull() const { return width <= 0 || height <= 0; }
};

struct WorkingPicture {
    LuminancePlane plane;
    QSize sourceSize; // of the picture it came from, for the aspect ratio
    bool isNull() const { return plane.isNull(); }
};

struct ConvertedPicture {
    QImage dots; // RGB32, black dots on white, exactly width x height of the result
    int dotCount = 0;
    int threshold = 0; // the one used (the automatic one as found)
};

// Reduces (or, for a small picture, keeps) the picture to at most WorkingRows rows and
// WorkingColumns columns by area averaging.
WorkingPicture workingPicture(const QImage& picture);

// Area averaging of `area` of `plane` to `size`: each result value is the mean of the part of
// the plane its cell covers, partly covered pixels by their share. Enlarges as well.
LuminancePlane areaAverage(const LuminancePlane& plane, const QRect& area, QSize size);

// The part of the working picture that is not white paper; the whole of it when all is white.
QRect inkBounds(const LuminancePlane& plane);

// Size in dots the options give: height 1..32, width by hand or from the aspect ratio of the
// (trimmed) picture, 1..MaxImportWidth.
QSize resultSize(const WorkingPicture& picture, const ConversionOptions& options);

// Otsu's threshold of a plane: the level that best separates dark from light.
int otsuThreshold(const LuminancePlane& plane);

ConvertedPicture convertWorking(const WorkingPicture& picture, const ConversionOptions& options);
ConvertedPicture convertPicture(const QImage& picture, const ConversionOptions& options);

} // namespace logos
