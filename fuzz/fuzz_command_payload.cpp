// SPDX-License-Identifier: GPL-3.0-or-later
// A command body as the broker hands it to the agent: the payload parser, then the argument
// checks of the operation the first byte picks.
#include "agent/command_payload.h"
#include "fuzz_support.h"
#include "operations/registry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const auto& ops = operations::all();
    const operations::Operation& op = ops[data[0] % ops.size()];
    const agent::CommandPayload c = agent::parseCommandPayload(fuzz::bytes(data + 1, size - 1));
    if (c.problem.isEmpty())
        (void)operations::argumentsFromJson(op, c.args);
    (void)agent::operationOfTopic(QStringLiteral("inkwick/line1"),
                                  QStringLiteral("inkwick/line1/cmd/") + c.id);
    return 0;
}
