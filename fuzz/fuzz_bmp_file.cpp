// SPDX-License-Identifier: GPL-3.0-or-later
// A BMP file opened into the logo: the image reader, the height check and the conversion into
// the dot and zoom pictures.
#include "fuzz_support.h"
#include "logos/logo_document.h"
#include "logos/logo_file_commands.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::initQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ReplySession rs({});
    static logos::LogoDocument logo;
    rs.session.logo = &logo;
    if (!rs.putFile(QStringLiteral("input.bmp"), fuzz::bytes(data, size)))
        return 0;
    logos::loadBmpLogoFile(rs.session, QStringLiteral("input.bmp"));
    return 0;
}
