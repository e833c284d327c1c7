// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/requests.h"

namespace printerlink {

namespace {

constexpr char kEnd = 0x0E;
constexpr char kReadout = 0x11;
constexpr char kStore = 0x0F;
constexpr char kClock = 0x1A;
constexpr char kDateOffset = 0x1D;
constexpr char kLines = 0x0C;

QByteArray framed(char lead, char letter, const QByteArray& parameter = {}) {
    return QByteArray(1, lead) + letter + parameter + kEnd;
}

QByteArray digits(int n, int width) {
    return QByteArray::number(n).rightJustified(width, '0');
}

QByteArray slotHeader(char letter, int slot, char last) {
    return QByteArray(1, kStore) + letter + digits(slot, 3) + last;
}

} // namespace

QByteArray versionRequest() {
    return framed(kReadout, 'i');
}
QByteArray printSystemSettingsRequest() {
    return framed(kReadout, '\\');
}
QByteArray printModeRequest() {
    return framed(kReadout, 'M');
}
QByteArray runningHoursRequest() {
    return framed(kReadout, 'w');
}
QByteArray printedMarksRequest() {
    return framed(kReadout, 'm');
}
QByteArray printLinesRequest() {
    return framed(kReadout, 'S');
}
QByteArray textMarkAreaRequest() {
    return framed(kStore, 'x');
}
QByteArray graphicAreaRequest() {
    return framed(kStore, 'a');
}
QByteArray markBitmapRequest() {
    return framed(kStore, 'b');
}

QByteArray setDateRequest(const QByteArray& ddmmyy) {
    return framed(kClock, 'D', ddmmyy);
}
QByteArray setTimeRequest(const QByteArray& hhmmss) {
    return framed(kClock, 'T', hhmmss);
}
QByteArray setDateOffsetRequest(const QByteArray& fourDigits) {
    return framed(kDateOffset, 'D', fourDigits);
}
QByteArray setPrintLinesRequest(int lines) {
    return framed(kLines, 'S', QByteArray::number(lines));
}

QByteArray markReadRequest(int number) {
    return framed(kStore, 'r', digits(number, 2));
}
QByteArray markWriteHeader(int number) {
    return framed(kStore, 't', digits(number, 2));
}

QByteArray fragmentReadRequest(int line, int fragment) {
    return QByteArray(1, kReadout) + char('0' + line) + char('0' + fragment) + kEnd;
}

QByteArray fragmentWriteRequest(quint8 functionCode, const QByteArray& position, int font,
                                const QByteArray& text) {
    QByteArray request(1, char(functionCode));
    request += position.leftJustified(2, '0', true);
    request += char('0' + font);
    request += text;
    request += kEnd;
    return request;
}

QByteArray logoSlotRequest(int slot) {
    return slotHeader('i', slot, kEnd);
}
QByteArray logoWriteHeader(int slot, int payloadLength) {
    return slotHeader('l', slot, char(payloadLength >> 8));
}
QByteArray logoDeleteHeader(int slot) {
    return slotHeader('l', slot, kEnd);
}

} // namespace printerlink
