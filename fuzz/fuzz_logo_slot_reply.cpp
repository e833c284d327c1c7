// SPDX-License-Identifier: GPL-3.0-or-later
// A logo slot read: the reply becomes the logo and the file logoNNN.bin.
#include "fuzz_support.h"
#include "logos/logo_document.h"
#include "logos/logo_transfer.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::initQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ReplySession rs(fuzz::bytes(data, size));
    // One logo for the run, as the application keeps one; each read replaces it.
    static logos::LogoDocument logo;
    rs.session.logo = &logo;
    rs.dialogs.answers = {QStringLiteral("7")};
    logos::readLogoSlot(rs.session);
    return 0;
}
