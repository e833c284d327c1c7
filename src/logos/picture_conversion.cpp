// SPDX-License-Identifier: GPL-3.0-or-later
#include "logos/picture_conversion.h"

#include "logos/logo_document.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace logos {

namespace {

// The source pixels one result cell covers along one axis: first .. last, the two ends by the
// share of them inside the cell; `scale` turns the weighted sum into a mean.
struct Span {
    int first;
    int last;
    float firstShare;
    float lastShare;
    float scale;
};

std::vector<Span> spans(int offset, int sourceLength, int targetLength) {
    std::vector<Span> out;
    out.reserve(size_t(targetLength));
    const double step = double(sourceLength) / targetLength;
    for (int t = 0; t < targetLength; ++t) {
        const double a = t * step;
        const double b = t + 1 == targetLength ? sourceLength : (t + 1) * step;
        const int first = std::min(int(a), sourceLength - 1);
        const int last = std::clamp(int(std::ceil(b)) - 1, first, sourceLength - 1);
        Span s{offset + first, offset + last, 1.0f, 1.0f, float(1.0 / (b - a))};
        if (first == last) {
            s.firstShare = float(b - a);
        } else {
            s.firstShare = float(first + 1 - a);
            s.lastShare = float(b - last);
        }
        out.push_back(s);
    }
    return out;
}

float weight(const Span& s, int i) {
    return i == s.first ? s.firstShare : i == s.last ? s.lastShare : 1.0f;
}

// Area averaging of a picture given row by row: `row(y, out)` fills the source row y from
// column `left` on; rows are asked for in increasing order.
template <typename RowSource> LuminancePlane average(RowSource row, QRect area, QSize size) {
    LuminancePlane out;
    out.width = size.width();
    out.height = size.height();
    out.values.assign(size_t(out.width) * size_t(out.height), 255.0f);
    const std::vector<Span> rows = spans(area.top(), area.height(), size.height());
    const std::vector<Span> cols = spans(0, area.width(), size.width());
    std::vector<float> line(size_t(area.width()));
    std::vector<float> sum(size_t(area.width()));
    int loaded = -1;
    for (int t = 0; t < size.height(); ++t) {
        const Span& r = rows[size_t(t)];
        std::fill(sum.begin(), sum.end(), 0.0f);
        for (int y = r.first; y <= r.last; ++y) {
            if (y != loaded) {
                row(y, line.data());
                loaded = y;
            }
            const float w = weight(r, y);
            for (size_t x = 0; x < sum.size(); ++x)
                sum[x] += w * line[x];
        }
        float* dst = out.values.data() + size_t(t) * size_t(out.width);
        for (int c = 0; c < size.width(); ++c) {
            const Span& s = cols[size_t(c)];
            float v = 0;
            for (int x = s.first; x <= s.last; ++x)
                v += weight(s, x) * sum[size_t(x)];
            dst[c] = v * s.scale * r.scale;
        }
    }
    return out;
}

// Luminance of one pixel as it shows on white paper.
template <bool Premultiplied> float onWhite(QRgb p) {
    const float lum = 0.299f * qRed(p) + 0.587f * qGreen(p) + 0.114f * qBlue(p);
    const int alpha = qAlpha(p);
    if constexpr (Premultiplied)
        return lum + float(255 - alpha);
    else
        return lum * float(alpha) / 255.0f + float(255 - alpha);
}

int clampedLevel(float v) {
    return std::clamp(int(std::lround(v)), 0, 255);
}

QImage dotPicture(const std::vector<bool>& dots, QSize size, bool invert, int* count) {
    QImage image(size, QImage::Format_RGB32);
    *count = 0;
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const bool dot = dots[size_t(y) * size_t(size.width()) + size_t(x)] != invert;
            line[x] = dot ? DotColour : NoDotColour;
            *count += dot;
        }
    }
    return image;
}

std::vector<bool> cut(const LuminancePlane& p, int threshold) {
    std::vector<bool> dots(p.values.size());
    for (size_t i = 0; i < dots.size(); ++i)
        dots[i] = p.values[i] < float(threshold);
    return dots;
}

// Error diffusion: each pixel's rounding error goes on to its unvisited neighbours
// (7/16 right, 3/16 below left, 5/16 below, 1/16 below right).
std::vector<bool> floydSteinberg(const LuminancePlane& p, int threshold) {
    const int w = p.width;
    std::vector<float> here(p.values.begin(), p.values.begin() + w);
    std::vector<float> below(static_cast<size_t>(w));
    std::vector<bool> dots(p.values.size());
    for (int y = 0; y < p.height; ++y) {
        if (y + 1 < p.height)
            std::copy_n(p.values.begin() + ptrdiff_t(y + 1) * w, w, below.begin());
        for (int x = 0; x < w; ++x) {
            const float v = here[size_t(x)];
            const bool dot = v < float(threshold);
            dots[size_t(y) * size_t(w) + size_t(x)] = dot;
            const float error = v - (dot ? 0.0f : 255.0f);
            if (x + 1 < w)
                here[size_t(x) + 1] += error * 7 / 16;
            if (x > 0)
                below[size_t(x) - 1] += error * 3 / 16;
            below[size_t(x)] += error * 5 / 16;
            if (x + 1 < w)
                below[size_t(x) + 1] += error * 1 / 16;
        }
        std::swap(here, below);
    }
    return dots;
}

// Ordered dithering with the 4 x 4 Bayer matrix; the threshold moves all its levels.
std::vector<bool> bayer(const LuminancePlane& p, int threshold) {
    static constexpr std::array<int, 16> matrix = {0, 8,  2, 10, 12, 4, 14, 6,
                                                   3, 11, 1, 9,  15, 7, 13, 5};
    std::vector<bool> dots(p.values.size());
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const float level =
                (float(matrix[size_t((y % 4) * 4 + x % 4)]) + 0.5f) * 255.0f / 16.0f +
                float(threshold - 128);
            dots[size_t(y) * size_t(p.width) + size_t(x)] = p.at(x, y) < level;
        }
    }
    return dots;
}

} // namespace

WorkingPicture workingPicture(const QImage& picture) {
    WorkingPicture result;
    if (picture.isNull())
        return result;
    QImage image = picture;
    const QImage::Format f = image.format();
    if (f != QImage::Format_RGB32 && f != QImage::Format_ARGB32 &&
        f != QImage::Format_ARGB32_Premultiplied)
        image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int sw = image.width(), sh = image.height();
    const double factor = std::min(1.0, double(WorkingRows) / sh);
    const QSize size(std::clamp(int(std::lround(sw * factor)), 1, std::min(sw, WorkingColumns)),
                     std::clamp(int(std::lround(sh * factor)), 1, sh));
    const bool premultiplied = image.format() != QImage::Format_ARGB32;
    auto row = [&](int y, float* out) {
        const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        if (premultiplied)
            std::transform(in, in + sw, out, onWhite<true>);
        else
            std::transform(in, in + sw, out, onWhite<false>);
    };
    result.plane = average(row, QRect(0, 0, sw, sh), size);
    result.sourceSize = picture.size();
    return result;
}

LuminancePlane areaAverage(const LuminancePlane& plane, const QRect& area, QSize size) {
    const QRect a = area & QRect(0, 0, plane.width, plane.height);
    if (a.isEmpty() || size.isEmpty())
        return {};
    auto row = [&](int y, float* out) {
        std::copy_n(plane.values.begin() + ptrdiff_t(y) * plane.width + a.left(), a.width(), out);
    };
    return average(row, a, size);
}

QRect inkBounds(const LuminancePlane& plane) {
    int left = plane.width, right = -1, top = plane.height, bottom = -1;
    for (int y = 0; y < plane.height; ++y) {
        for (int x = 0; x < plane.width; ++x) {
            if (plane.at(x, y) < float(TrimLevel)) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = y;
            }
        }
    }
    if (right < 0)
        return {0, 0, plane.width, plane.height};
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

QSize resultSize(const WorkingPicture& picture, const ConversionOptions& options) {
    const int height = std::clamp(options.height, 1, MaxLogoHeight);
    if (options.width > 0)
        return {std::min(options.width, MaxImportWidth), height};
    if (picture.isNull())
        return {1, height};
    const QRect area = options.trim ? inkBounds(picture.plane)
                                    : QRect(0, 0, picture.plane.width, picture.plane.height);
    // Back to the source's own pixels: the working picture may be squeezed more one way.
    const double sx = double(picture.sourceSize.width()) / picture.plane.width;
    const double sy = double(picture.sourceSize.height()) / picture.plane.height;
    const double aspect = area.width() * sx / (area.height() * sy);
    return {std::clamp(int(std::lround(height * aspect)), 1, MaxImportWidth), height};
}

int otsuThreshold(const LuminancePlane& plane) {
    std::array<double, 256> histogram{};
    for (float v : plane.values)
        histogram[size_t(clampedLevel(v))] += 1;
    const double total = double(plane.values.size());
    double sumAll = 0;
    for (int i = 0; i < 256; ++i)
        sumAll += i * histogram[size_t(i)];
    // Threshold t puts levels below t in the dark class. Equal separations form a plateau
    // (two pure levels separate equally well anywhere between them): take its middle.
    double best = 0, dark = 0, sumDark = 0;
    int firstBest = -1, lastBest = -1;
    for (int t = 1; t < 256; ++t) {
        dark += histogram[size_t(t - 1)];
        sumDark += (t - 1) * histogram[size_t(t - 1)];
        const double light = total - dark;
        if (dark == 0 || light == 0)
            continue;
        const double meanDark = sumDark / dark;
        const double meanLight = (sumAll - sumDark) / light;
        const double between = dark * light * (meanDark - meanLight) * (meanDark - meanLight);
        if (between > best * (1 + 1e-9)) {
            best = between;
            firstBest = lastBest = t;
        } else if (firstBest > 0 && between >= best * (1 - 1e-9)) {
            lastBest = t;
        }
    }
    return firstBest < 0 ? 128 : (firstBest + lastBest + 1) / 2;
}

ConvertedPicture convertWorking(const WorkingPicture& picture, const ConversionOptions& options) {
    ConvertedPicture result;
    if (picture.isNull())
        return result;
    const QSize size = resultSize(picture, options);
    const QRect area = options.trim ? inkBounds(picture.plane)
                                    : QRect(0, 0, picture.plane.width, picture.plane.height);
    const LuminancePlane scaled = areaAverage(picture.plane, area, size);
    const bool automatic = options.threshold < 0;
    const int threshold = std::clamp(options.threshold, 0, 255);
    std::vector<bool> dots;
    switch (options.dithering) {
    case Dithering::None:
        result.threshold = automatic ? otsuThreshold(scaled) : threshold;
        dots = cut(scaled, result.threshold);
        break;
    case Dithering::FloydSteinberg:
        result.threshold = automatic ? 128 : threshold;
        dots = floydSteinberg(scaled, result.threshold);
        break;
    case Dithering::Bayer:
        result.threshold = automatic ? 128 : threshold;
        dots = bayer(scaled, result.threshold);
        break;
    }
    result.dots = dotPicture(dots, size, options.invert, &result.dotCount);
    return result;
}

ConvertedPicture convertPicture(const QImage& picture, const ConversionOptions& options) {
    return convertWorking(workingPicture(picture), options);
}

} // namespace logos
