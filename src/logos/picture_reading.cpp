// SPDX-License-Identifier: GPL-3.0-or-later
#include "logos/picture_reading.h"

#include "logos/picture_conversion.h"
#include "logos/picture_files.h"
#include "platform/file_access.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#ifdef INKWICK_HAVE_SVG
#include <QSvgRenderer>
#endif

#include <algorithm>
#include <cmath>

namespace logos {

namespace {

QString displayName(const QString& path) {
    return QFileInfo(path).fileName();
}

bool isSvgName(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("svg") || suffix == QLatin1String("svgz");
}

PictureRead readSvg(const QString& path) {
    PictureRead result;
    const platform::FileRead file = platform::readRegularFile(path, MaxSvgBytes);
    result.error = fileReadErrorText(file.error, path);
    result.fileError = !result.error.isEmpty();
    if (result.fileError)
        return result;
#ifndef INKWICK_HAVE_SVG
    result.error = svgUnsupportedText(path);
    return result;
#else
    QSvgRenderer renderer(file.bytes);
    const QSizeF size = renderer.viewBoxF().size();
    if (!renderer.isValid() || size.width() <= 0 || size.height() <= 0) {
        result.error = notAPictureText(path);
        return result;
    }
    // Drawn at the working height, so the scaling to dots averages a sharp drawing.
    const int width =
        std::clamp(int(std::lround(WorkingRows * size.width() / size.height())), 1, WorkingColumns);
    QImage picture(width, WorkingRows, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    renderer.render(&painter, QRectF(0, 0, width, WorkingRows));
    painter.end();
    result.picture = picture;
    return result;
#endif
}

} // namespace

QString svgUnsupportedText(const QString& name) {
    return QStringLiteral("Рисунок '%1' не открыт: рисунки SVG эта сборка программы не читает.\n\r"
                          "Сохраните его как PNG или BMP.")
        .arg(displayName(name));
}

QString notAPictureText(const QString& name) {
    return QStringLiteral("Файл '%1' не является рисунком или повреждён!").arg(displayName(name));
}

QString tooLargePictureText(const QString& name, int width, int height) {
    return QStringLiteral("Рисунок '%1' слишком велик: %2 x %3 пикселей!\n\r"
                          "Открываются рисунки не более 32 млн пикселей (например, 5600 x 5600).")
        .arg(displayName(name))
        .arg(width)
        .arg(height);
}

QString pictureFileFilter() {
    return QStringLiteral("Рисунки (*.png,*.jpg,*.gif,*.bmp,*.tif,*.webp,*.svg)|"
                          "*.png;*.jpg;*.jpeg;*.gif;*.bmp;*.tif;*.tiff;*.webp;*.svg;*.svgz|"
                          "Все файлы (*)|*");
}

PictureRead readPicture(const QString& path) {
    if (isSvgName(path))
        return readSvg(path);
    PictureRead result;
    QFile file(path);
    result.error = fileReadErrorText(platform::openRegularFile(file), path);
    result.fileError = !result.error.isEmpty();
    if (result.fileError)
        return result;
    QImageReader reader(&file);
    const QByteArray format = reader.format();
    if (format == "svg" || format == "svgz") {
        file.close();
        return readSvg(path);
    }
    reader.setAutoTransform(true);
    // The size from the header decides before any decoding; the reader's own limit stands
    // behind it for a header that says nothing or lies.
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > MaxPicturePixels) {
        result.error = tooLargePictureText(path, size.width(), size.height());
        return result;
    }
    reader.setAllocationLimit(int(MaxPicturePixels * 4 / (1024 * 1024)) + 1);
    if (!reader.read(&result.picture) || result.picture.isNull()) {
        result.picture = {};
        const bool readFailed =
            reader.error() == QImageReader::DeviceError || file.error() != QFileDevice::NoError;
        result.error = readFailed ? unreadableFileText(path) : notAPictureText(path);
        result.fileError = readFailed;
    }
    return result;
}

} // namespace logos
