// SPDX-License-Identifier: GPL-3.0-or-later
// The bitmap of the mark being printed, through the command that turns it into the logo.
#include "device/mark_bitmap_view.h"
#include "fuzz_support.h"
#include "logos/logo_document.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::initQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ReplySession rs(fuzz::bytes(data, size));
    // One logo for the run, as the application keeps one; each read replaces it.
    static logos::LogoDocument logo;
    rs.session.logo = &logo;
    device::viewMarkBitmap(rs.session);
    return 0;
}
