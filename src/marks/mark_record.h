// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "marks/mark_model.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

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
// Fragments (numbers "11".."48", in table order) of mark data that no mark can hold or that a
// mark file cannot keep. Unused fragments (code 0, no text) and bytes after a text are what real
// printers leave, and pass.
struct RecordProblems {
    QStringList badFont;     // a font above 15
    QStringList badLength;   // a text length above 44
    QStringList unknownCode; // a function code other than the six (a file keeps it as text)

    // Line noise or a reply of something else, not a mark.
    bool notAMark() const { return !badFont.isEmpty() || !badLength.isEmpty(); }
};
RecordProblems checkMarkRecords(const QByteArray& data);
// "шрифт больше 15 во фрагментах 11, 12; длина текста больше 44 во фрагментах 21"
QString recordProblemsText(const RecordProblems& problems);

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
