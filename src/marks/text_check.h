// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "marks/mark_model.h"

#include <QString>
#include <QStringList>

namespace marks {

// Fragments whose text cannot go to the printer or a file as it is.
struct TextProblems {
    QStringList tooLong;     // fragment numbers with more than 44 characters
    QStringList unencodable; // fragment numbers with characters outside Windows-1251
    QString characters;      // those characters, each once
    QStringList lineBreaks;  // fragment numbers whose text would end a file line early

    bool any() const {
        return !tooLong.isEmpty() || !unencodable.isEmpty() || !lineBreaks.isEmpty();
    }
};

// forPrinter: the printer's record limit applies. Otherwise the texts go to a mark file, which
// keeps longer texts but holds one fragment per line, so line feeds, carriage returns and NULs
// are refused.
TextProblems checkTexts(const MarkRows& rows, bool forPrinter);
// The message that refuses the transfer or the save; `what` ends it ("Марка не записана.").
QString textProblemsMessage(const TextProblems& problems, const QString& what);

} // namespace marks
