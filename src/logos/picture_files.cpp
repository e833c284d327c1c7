// SPDX-License-Identifier: GPL-3.0-or-later
#include "logos/picture_files.h"

#include "logos/logo_document.h"
#include "platform/file_access.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>

namespace logos {

namespace {

quint8 byteAt(const QByteArray& bytes, qsizetype i) {
    return i < bytes.size() ? quint8(bytes[i]) : 0;
}

QByteArray zeroFilled(const QByteArray& bytes, qsizetype from, qsizetype count) {
    QByteArray out(count, '\0');
    if (from < bytes.size())
        std::copy_n(bytes.constData() + from, std::min(count, bytes.size() - from), out.data());
    return out;
}

void appendWord(QByteArray& out, int value) {
    out.append(char(value & 0xff));
    out.append(char((value >> 8) & 0xff));
}

QString displayName(const QString& path) {
    return QFileInfo(path).fileName();
}

} // namespace

QString verticalSizeText() {
    return QStringLiteral("Превышение Вертикального Размера Печати!");
}

QString horizontalSizeText() {
    return QStringLiteral("Превышение Горизонтального Размера Печати!");
}

QString zeroWidthText() {
    return QStringLiteral("Файл открыть невозможно. Размер 'X'=0!");
}

QString tooWideBmpText(int width) {
    return QStringLiteral("Файл открыть невозможно. Размер 'X'>%1! (X=%2).")
        .arg(MaxBmpWidth)
        .arg(width);
}

QString tooTallBmpText(int height) {
    return QStringLiteral("Файл открыть невозможно. Размер 'Y'>32! (Y=%1).").arg(height);
}

QString unreadableFileText(const QString& name) {
    return QStringLiteral("Файл '%1' прочитать невозможно!").arg(displayName(name));
}

QString unwritableFileText(const QString& name) {
    return QStringLiteral("Файл '%1' записать невозможно!").arg(displayName(name));
}

QString unwritableTypeText(const QString& suffix) {
    return QStringLiteral("Файл типа '%1' записать невозможно.\n\r"
                          "Логотип сохраняется в файл BIN или BMP.")
        .arg(suffix);
}

QString notABitmapText(const QString& name) {
    return QStringLiteral("Файл '%1' не является рисунком BMP или повреждён!")
        .arg(displayName(name));
}

PackedDecode decodeBin(const QByteArray& file) {
    PackedDecode result;
    const int width = byteAt(file, 2);
    const int rows = byteAt(file, 3);
    if (rows < 1 || rows > 4)
        result.error = verticalSizeText();
    else if (width == 0)
        result.error = zeroWidthText();
    else
        result.picture = {width, rows, zeroFilled(file, 4, qsizetype(width) * rows)};
    return result;
}

PackedDecode decodePbm(const QByteArray& file) {
    PackedDecode result;
    const int rows = byteAt(file, 0);
    const int width = byteAt(file, 1) | byteAt(file, 2) << 8;
    if (rows < 1 || rows > 4)
        result.error = verticalSizeText();
    else if (width > MaxPbmWidth)
        result.error = horizontalSizeText();
    else if (width == 0)
        result.error = zeroWidthText();
    else
        result.picture = {width, rows, zeroFilled(file, 3, qsizetype(width) * rows)};
    return result;
}

QByteArray encodeBin(int width, int byteRows, const QByteArray& columns, int lengthWord) {
    QByteArray out;
    out.reserve(4 + columns.size());
    appendWord(out, lengthWord);
    out.append(char(width));
    out.append(char(byteRows));
    out.append(columns);
    return out;
}

QByteArray encodePbm(int width, int byteRows, const QByteArray& columns) {
    QByteArray out;
    out.reserve(3 + columns.size());
    out.append(char(byteRows));
    appendWord(out, width);
    out.append(columns);
    return out;
}

QString fileReadErrorText(platform::FileReadError error, const QString& path) {
    switch (error) {
    case platform::FileReadError::None:
        return {};
    case platform::FileReadError::NotRegular:
        return platform::notRegularFileText(displayName(path));
    case platform::FileReadError::Unreadable:
        break;
    }
    return unreadableFileText(path);
}

QByteArray readFileStart(const QString& path, qint64 limit, QString* error) {
    platform::FileRead file = platform::readRegularFile(path, limit);
    *error = fileReadErrorText(file.error, path);
    return file.bytes;
}

QString writeFileAtomically(const QString& path, const QByteArray& bytes) {
    return platform::saveFileAtomically(path, bytes) ? QString() : unwritableFileText(path);
}

BmpRead readBmp(const QString& path) {
    BmpRead result;
    QFile file(path);
    result.error = fileReadErrorText(platform::openRegularFile(file), path);
    if (!result.error.isEmpty())
        return result;
    QImageReader reader(&file, "bmp");
    // Sizes come from the header: refuse before decoding, so a few bytes claiming a picture
    // millions of columns wide cannot claim gigabytes. A picture stored top to bottom has a
    // negative height there.
    const QSize size = reader.size();
    if (size.width() > MaxBmpWidth) {
        result.error = tooWideBmpText(size.width());
        return result;
    }
    if (qAbs(size.height()) > MaxLogoHeight) {
        result.error = tooTallBmpText(qAbs(size.height()));
        return result;
    }
    result.picture = reader.read();
    if (result.picture.isNull()) {
        // The reader takes a failed read for a damaged picture: the file knows better.
        const bool readFailed =
            reader.error() == QImageReader::DeviceError || file.error() != QFileDevice::NoError;
        result.error = readFailed ? unreadableFileText(path) : notABitmapText(path);
    }
    return result;
}

QString writeBmp(const QString& path, const QImage& picture) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    if (!writer.write(picture.convertToFormat(QImage::Format_RGB888)))
        return unwritableFileText(path);
    return writeFileAtomically(path, bytes);
}

} // namespace logos
