// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "marks/mark_document.h"
#include "marks/mark_record.h"
#include "test_rig.h"

#include <QMap>

// A connected rig with a mark document in the session.
struct MarkRig {
    TestRig rig;
    marks::MarkDocument doc;
    ScriptedDialogs& dialogs = rig.dialogs;
    sim::PrinterState& state = rig.printer.state;

    // What the document told its window: files in order, the save items' last states.
    QList<QPair<QString, marks::FileOrigin>> files;
    QMap<QString, bool> told;

    MarkRig() {
        rig.session.marks = &doc;
        rig.connect();
        QObject::connect(&doc, &marks::MarkDocument::fileChanged,
                         [this](const QString& name, marks::FileOrigin how) {
                             files.append({name, how});
                         });
        QObject::connect(&doc, &marks::MarkDocument::canSaveChanged,
                         [this](bool can) { told[QStringLiteral("save")] = can; });
        QObject::connect(&doc, &marks::MarkDocument::canSaveAsChanged,
                         [this](bool can) { told[QStringLiteral("save as")] = can; });
    }
    printerlink::Session& session() { return rig.session; }

    QStringList messageTexts() const {
        QStringList out;
        for (const auto& m : dialogs.messages())
            out.append(m.title + " | " + m.text);
        return out;
    }
};

// A mark that uses every function, fonts 0..15, texts of 0..44 characters and Cyrillic.
inline marks::MarkRows richMark() {
    using namespace marks;
    MarkRows rows = initialRows();
    const QString text = QStringLiteral("Годен до 31.12 ёЁ №7 «ОТК» — Lot A-17/€‰ Ъ  §©");
    for (int r = 0; r < kFragmentCount; ++r) {
        rows[r][FunctionColumn] = functionNames().at(r % 5);
        rows[r][FontColumn] = fontCellText(r % kFontCount);
        rows[r][TextColumn] = text.left((r * 7) % (kMaxTextLength + 1));
        rows[r][FreeColumn] = freePlacesText(rows[r][TextColumn]);
    }
    rows[5] = {"16", "ШтрихКод EAN", " 03", "4601234567890", "31"};
    return rows;
}
