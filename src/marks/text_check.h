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

    bool any() const { return !tooLong.isEmpty() || !unencodable.isEmpty(); }
};

// checkLength: the printer's record limit applies (mark files keep longer texts).
TextProblems checkTexts(const MarkRows& rows, bool checkLength);
// The message that refuses the transfer or the save; `what` ends it ("Марка не записана.").
QString textProblemsMessage(const TextProblems& problems, const QString& what);

} // namespace marks
