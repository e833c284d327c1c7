// SPDX-License-Identifier: GPL-3.0-or-later
// A BIN logo file opened from the working directory into the logo.
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
    if (!rs.putFile(QStringLiteral("input.bin"), fuzz::bytes(data, size)))
        return 0;
    logos::loadPackedLogoFile(rs.session, QStringLiteral("input.bin"), QStringLiteral("bin"));
    return 0;
}
