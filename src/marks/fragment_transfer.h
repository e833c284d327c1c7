// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/request_exchange.h"
#include "link/result.h"
#include "link/session.h"

#include <QString>

namespace marks {

// A fragment of the mark being printed: line 1..4, fragment 1..8 in it.
struct FragmentAddress {
    int line = 1;
    int fragment = 1;
    // "23": the number the printer and the mark table know it by.
    QString number() const;
};

struct Fragment {
    quint8 function = 0x18; // a FunctionCode
    int font = 0;           // 0..15
    QString text;
};

struct FragmentReading {
    Fragment fragment;
    QString reportText; // the window's "ФРАГМЕНТ #23: ..." text
    printerlink::Reply reply;
    // The reply holds the whole text (the rest of the record may still be missing).
    bool usable = false;
    qint64 textEnd = 0; // where the record's text ends
};

// Reads one fragment of the mark being printed.
printerlink::Result<FragmentReading> readFragment(printerlink::Session& s, FragmentAddress at);
// Writes one fragment of the mark being printed. The printer confirms nothing. The address 00
// is the editor's when no row is chosen, and goes as it is.
printerlink::Result<void> writeFragment(printerlink::Session& s, FragmentAddress at,
                                        const Fragment& fragment);

// Why a fragment text cannot go to the printer (its length in Windows-1251, characters the code
// page lacks, a line break), ending "Фрагмент не записан."; empty when it can.
QString fragmentTextRefusal(const QString& text);

// "Чтение Фрагмента Марки": asks the line and fragment, shows what the printer holds.
void readFragment(printerlink::Session& s);
// "Изменение Печатной Марки": the editor's fragment, after a confirmation.
void writeFragment(printerlink::Session& s);

} // namespace marks
