// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/session.h"

#include <QString>

namespace service {

// The items of a series as they begin, and the user's request to stop between two of them.
class SeriesSteps {
public:
    // `doing` prefixes every item shown: "Чтение: Марка 05".
    SeriesSteps(printerlink::Session& s, QString title, QString doing);
    ~SeriesSteps();
    SeriesSteps(const SeriesSteps&) = delete;
    SeriesSteps& operator=(const SeriesSteps&) = delete;

    void setTotal(int total) { total_ = total; }
    // False when the user asked to stop: the item is then not begun.
    bool begin(const QString& item);
    // Before the result is shown.
    void end();

private:
    printerlink::Session& s_;
    QString title_;
    QString doing_;
    int begun_ = 0;
    int total_ = 0;
};

} // namespace service
