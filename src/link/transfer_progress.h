// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/session.h"

namespace printerlink {

// Shows the progress of a transfer of `total` bytes (request and reply counted together) while
// it lives, from every byte that moves on the line; the display ends with it.
class TransferProgress {
public:
    TransferProgress(Session& s, qint64 total);
    ~TransferProgress();
    // For a reply whose length its header gives.
    void setTotal(qint64 total);
    TransferProgress(const TransferProgress&) = delete;
    TransferProgress& operator=(const TransferProgress&) = delete;

private:
    void show(qint64 moved);

    Session& s_;
    qint64 total_;
    qint64 moved_ = 0;
    int shownPercent_ = -1;
};

} // namespace printerlink
