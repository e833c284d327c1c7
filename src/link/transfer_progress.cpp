// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/transfer_progress.h"

namespace printerlink {

TransferProgress::TransferProgress(Session& s, qint64 total)
    : s_(s), total_(qMax<qint64>(1, total)) {
    s_.status.setProgress(0, total_);
    s_.monitor.setMeter([this](qint64 moved) { show(moved); });
}

void TransferProgress::show(qint64 moved) {
    moved_ = moved;
    const qint64 done = qMin(moved, total_);
    // Whole percents only: the status bar repaints at most a hundred times per transfer.
    const int percent = int(done * 100 / total_);
    if (percent == shownPercent_)
        return;
    shownPercent_ = percent;
    s_.status.setProgress(done, total_);
}

void TransferProgress::setTotal(qint64 total) {
    total_ = qMax<qint64>(1, total);
    shownPercent_ = -1;
    show(moved_);
}

TransferProgress::~TransferProgress() {
    s_.monitor.setMeter({});
    s_.status.setProgress(0, 0);
}

} // namespace printerlink
