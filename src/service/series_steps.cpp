// SPDX-License-Identifier: GPL-3.0-or-later
#include "service/series_steps.h"

namespace service {

SeriesSteps::SeriesSteps(printerlink::Session& s, QString title, QString doing)
    : s_(s), title_(std::move(title)), doing_(std::move(doing)) {}

SeriesSteps::~SeriesSteps() {
    end();
}

bool SeriesSteps::begin(const QString& item) {
    if (s_.dialogs.stopRequested())
        return false;
    s_.dialogs.showSteps(title_, begun_, qMax(total_, begun_ + 1),
                         doing_ + QStringLiteral(": ") + item);
    ++begun_;
    return true;
}

void SeriesSteps::end() {
    if (begun_ > 0)
        s_.dialogs.showSteps(title_, 0, 0, {});
    begun_ = 0;
}

} // namespace service
