// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QString>

// Reading a picture of any format the image readers here know (PNG, JPEG, GIF, BMP, TIFF, WebP,
// ...) or an SVG drawing, for the import into dots.
namespace logos {

// A larger picture is refused from its header, before it is decoded (4 bytes a pixel).
inline constexpr qint64 MaxPicturePixels = 32'000'000;
inline constexpr qint64 MaxSvgBytes = 32 * 1024 * 1024;

struct PictureRead {
    QImage picture;
    QString error; // the message naming the file; "" when read
    // The file itself could not be read (as against a file that holds no usable picture).
    bool fileError = false;
};

// A raster picture as decoded (EXIF orientation applied, the first frame of an animation); an
// SVG drawn on a transparent ground WorkingRows high, its width by its aspect ratio.
PictureRead readPicture(const QString& path);

// For the open dialog: "Рисунки (...)|*.png;...|Все файлы (*)|*".
QString pictureFileFilter();

QString notAPictureText(const QString& name);
QString tooLargePictureText(const QString& name, int width, int height);
// For a build without Qt SVG.
QString svgUnsupportedText(const QString& name);

} // namespace logos
