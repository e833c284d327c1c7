// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "marks/mark_model.h"

#include <QByteArray>
#include <QString>

namespace marks {

// Mark data on the wire: 32 records of 48 bytes (code, font, length, text, zeros) in
// fragment-major order: record k is fragment k / 4 + 1 of line k % 4 + 1.
inline constexpr int kRecordSize = 48;
inline constexpr int kMarkDataSize = kFragmentCount * kRecordSize; // 1536
inline constexpr int kMarkReplyBuffer = 2048;
inline constexpr int kEanLength = 13;

int rowOfRecord(int record);

// The two mark reads show unknown codes, fonts and lengths differently.
enum class MarkReader {
    ByNumber, // unknown code "?", font byte signed and cut to two characters
    Current,  // unknown code " 007", fonts from 16 up with three digits
};

// A reply whose first byte is 0 holds no mark.
bool isEmptyMarkReply(const QByteArray& reply);
// Replaces columns 1..4 of every row from the reply; missing bytes read as zero.
void decodeMarkData(const QByteArray& reply, MarkReader reader, MarkRows& rows);
// The 1536 bytes of a mark write. The caller has refused texts that do not fit (checkTexts).
QByteArray encodeMarkData(const MarkRows& rows);

// The text shown for a fragment read's reply.
QString fragmentReportText(int line, int fragment, const QByteArray& reply);

// The fragment write request for the editor's choices. `fragment` is the selected fragment
// number ("23"); `text` is already in Windows-1251.
QByteArray writeFragmentRequest(const QString& functionText, const QString& fragment, int font,
                                const QByteArray& text);
QString writeFragmentQuestion(const QString& fragment, const QString& functionText,
                              const QString& fontText, const QString& text);

} // namespace marks
