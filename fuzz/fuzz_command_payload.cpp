// SPDX-License-Identifier: GPL-3.0-or-later
// A command body as the broker hands it to the agent, and the topic it came on.
#include "agent/command_payload.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzz::bytes(data, size);
    const agent::CommandPayload c = agent::parseCommandPayload(bytes);
    // An accepted id must be safe as a topic level.
    if (!c.id.isEmpty() && (c.id.contains(QLatin1Char('/')) || c.id.contains(QLatin1Char('+')) ||
                            c.id.contains(QLatin1Char('#'))))
        __builtin_trap();
    (void)agent::operationOfTopic(QStringLiteral("inkwick/line1"), QString::fromUtf8(bytes));
    return 0;
}
