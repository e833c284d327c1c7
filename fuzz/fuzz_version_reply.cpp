// SPDX-License-Identifier: GPL-3.0-or-later
// The version reply: model, firmware date and the message built from them.
#include "fuzz_support.h"
#include "link/version_query.h"

using namespace printerlink;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const VersionReply reply = decodeVersionReply(fuzz::bytes(data, size));
    if (!reply.empty)
        (void)versionMessage(reply);
    return 0;
}
