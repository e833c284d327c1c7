// SPDX-License-Identifier: GPL-3.0-or-later
// A picture file imported into dots: the image readers (PNG, JPEG, GIF, TIFF, WebP, ...) or the
// SVG renderer, the size limit, the working picture and a conversion whose options come from
// the input's first byte.
#include "fuzz_support.h"
#include "logos/picture_conversion.h"
#include "logos/picture_reading.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::initQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    fuzz::ReplySession rs({});
    const uint8_t knobs = data[0];
    const QString name = knobs & 1 ? QStringLiteral("input.svg") : QStringLiteral("input.pic");
    if (!rs.putFile(name, fuzz::bytes(data + 1, size - 1)))
        return 0;
    const logos::PictureRead read = logos::readPicture(rs.session.workDir.filePath(name));
    if (read.picture.isNull())
        return 0;
    logos::ConversionOptions options;
    options.height = 1 + (knobs >> 1) % 32;
    options.dithering = logos::Dithering((knobs >> 6) % 3);
    options.trim = knobs & 0x80;
    logos::convertPicture(read.picture, options);
    return 0;
}
