// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/file_access.h"

#include <QByteArray>
#include <QImage>
#include <QString>

// BIN, PBM and BMP logo files: byte layouts and reading/writing, without dialogs.
//
// BIN: length word (LE, never read back), X (1 byte), R (1 byte, 1..4), R * X packed bytes.
// PBM: R (1 byte, 1..4), X (LE word, at most 1664), R * X packed bytes.
// BMP: any bit depth the image reader decodes, at most 32 rows; saved as 24-bit.
namespace logos {

inline constexpr int MaxPbmWidth = 1664;
// Far beyond the 12 logos a picture may be split into; only a bound on memory.
inline constexpr int MaxBmpWidth = 16384;
inline constexpr qint64 PackedFileReadLimit = 8192; // the most of a BIN or PBM file ever read
inline constexpr int SlotBytes = 252;               // packed bytes one printer logo holds
// What a slot can keep after its X and R (256 bytes in all): other software fills it to 254,
// and a restore gives back whatever a slot held.
inline constexpr int SlotStoredBytes = 254;
inline constexpr int SlotBlockBytes = 256; // a slot on the wire: X, R, the columns, zeros

// Whether a logo of `width` columns and `byteRows` bytes a column fits one slot whole.
constexpr bool fitsSlot(int width, int byteRows) {
    return width >= 1 && byteRows >= 1 && width * byteRows <= SlotBytes;
}

struct PackedPicture {
    int width = 0;
    int byteRows = 0;
    QByteArray columns; // byteRows * width bytes; short files are zero-filled
};

// A decoded file, or the message that refuses it.
struct PackedDecode {
    PackedPicture picture;
    QString error;
    bool ok() const { return error.isEmpty(); }
};

PackedDecode decodeBin(const QByteArray& file);
PackedDecode decodePbm(const QByteArray& file);
QByteArray encodeBin(int width, int byteRows, const QByteArray& columns, int lengthWord);
QByteArray encodePbm(int width, int byteRows, const QByteArray& columns);

QString verticalSizeText();   // byte rows outside 1..4
QString horizontalSizeText(); // PBM wider than 1664
QString zeroWidthText();
QString tooTallBmpText(int height);
QString tooWideBmpText(int width);
QString unreadableFileText(const QString& name);
// The words for a file that could not be opened or read; "" when it could.
QString fileReadErrorText(platform::FileReadError error, const QString& path);
QString unwritableFileText(const QString& name);
// A logo is written as BIN or BMP only; `suffix` as the name had it.
QString unwritableTypeText(const QString& suffix);
QString notABitmapText(const QString& name);

// Reads at most `limit` bytes; on failure `error` names the file.
QByteArray readFileStart(const QString& path, qint64 limit, QString* error);
// Writes the whole file or leaves the old one as it was; "" or the message naming the file.
QString writeFileAtomically(const QString& path, const QByteArray& bytes);

struct BmpRead {
    QImage picture;
    QString error;
};
// Any BMP the image reader decodes, at most 32 rows and MaxBmpWidth columns (checked in the
// header before decoding).
BmpRead readBmp(const QString& path);
// A 24-bit BMP of the picture; "" or the message naming the file.
QString writeBmp(const QString& path, const QImage& picture);

} // namespace logos
