// SPDX-License-Identifier: GPL-3.0-or-later
#include "service/logo_parts.h"

#include "device/area_maps.h"
#include "logos/column_packing.h"
#include "logos/picture_files.h"
#include "platform/file_access.h"
#include "platform/number_prompt.h"
#include "service/printer_memory.h"
#include "service/service_commands.h"

#include <QFileInfo>
#include <QRegularExpression>

using namespace platform;
using namespace device;
using namespace printerlink;

namespace service {

namespace {

const QString kTitle = QStringLiteral("Запись частей рисунка");
constexpr int kLastSlot = 127;
constexpr int kMostParts = 12;

} // namespace

QStringList logoPartFiles(const QString& firstPart) {
    static const QRegularExpression first(QStringLiteral("^(.*)_1(\\.[^./]+)$"));
    const QRegularExpressionMatch m = first.match(firstPart);
    if (!m.hasMatch())
        return {};
    QStringList parts;
    for (int k = 1; k <= kMostParts; ++k) {
        const QString name = m.captured(1) + QLatin1Char('_') + QString::number(k) + m.captured(2);
        if (!QFileInfo(name).isFile())
            break;
        parts.append(name);
    }
    return parts;
}

SlotPayload slotPayloadOfFile(const QString& path) {
    SlotPayload out;
    const QString suffix = QFileInfo(path).suffix().toLower();
    logos::PackedPicture p;
    if (suffix == QLatin1String("bmp")) {
        const logos::BmpRead bmp = logos::readBmp(path);
        if (!bmp.error.isEmpty()) {
            out.error = bmp.error;
            const QFileInfo file(path);
            out.unreadable = !file.isFile() || !file.isReadable();
            return out;
        }
        p.width = bmp.picture.width();
        p.byteRows = logos::byteRowsFor(bmp.picture.height());
        p.columns = logos::packLogoColumns(bmp.picture, 0, p.width, bmp.picture.height());
    } else {
        const QByteArray bytes = logos::readFileStart(path, logos::PackedFileReadLimit, &out.error);
        if (!out.error.isEmpty()) {
            out.unreadable = true;
            return out;
        }
        const logos::PackedDecode d =
            suffix == QLatin1String("pbm") ? logos::decodePbm(bytes) : logos::decodeBin(bytes);
        if (!d.ok()) {
            out.error =
                QStringLiteral("Файл '%1':\n\r").arg(QDir::toNativeSeparators(path)) + d.error;
            return out;
        }
        p = d.picture;
    }
    if (!logos::fitsSlot(p.width, p.byteRows)) {
        out.error = QStringLiteral("Логотип %1x%2 из файла '%3' не помещается в ячейку "
                                   "Маркиратора (%4 байт, допустимо не более %5).")
                        .arg(p.width)
                        .arg(8 * p.byteRows)
                        .arg(QFileInfo(path).fileName())
                        .arg(p.width * p.byteRows)
                        .arg(logos::SlotBytes);
        return out;
    }
    // The length word of a split part and of a slot read back.
    out.bin = logos::encodeBin(p.width, p.byteRows, p.columns, p.width * p.byteRows + 2);
    return out;
}

LogoParts readLogoParts(const QString& firstPart) {
    LogoParts out;
    out.files = logoPartFiles(firstPart);
    if (!QFileInfo(firstPart).isFile()) {
        out.error = QFileInfo::exists(firstPart)
                        ? platform::notRegularFileText(QFileInfo(firstPart).fileName())
                        : logos::unreadableFileText(firstPart);
        out.unreadable = true;
        return out;
    }
    if (out.files.isEmpty()) {
        out.error = QStringLiteral("Файл '%1' - не первая часть разбитого рисунка:\n\r"
                                   "имя части оканчивается на _1.bin или _1.bmp.")
                        .arg(QFileInfo(firstPart).fileName());
        return out;
    }
    for (const QString& part : out.files) {
        const SlotPayload p = slotPayloadOfFile(part);
        if (!p.error.isEmpty()) {
            out.error = p.error;
            out.unreadable = p.unreadable;
            return out;
        }
        out.bins.append(p.bin);
    }
    return out;
}

std::map<int, QByteArray> LogoParts::inSlots(int first) const {
    std::map<int, QByteArray> out;
    for (int k = 0; k < bins.size(); ++k)
        out[first + k] = bins[k];
    return out;
}

void writeLogoParts(Session& s) {
    // No name offered: the dialog opens where pictures were last opened.
    const QString first = s.dialogs.openFile(
        kTitle, QString(),
        QStringLiteral("Первая часть рисунка (*_1.bin, *_1.bmp)|*_1.bin;*_1.BIN;*_1.bmp;*_1.BMP"));
    if (first.isEmpty())
        return;
    const LogoParts parts = readLogoParts(first);
    if (!parts.ok()) {
        s.dialogs.error(parts.error + QStringLiteral("\n\rНичего не записано."));
        return;
    }
    const int count = int(parts.files.size());
    NumberPrompt ask(
        kTitle,
        QStringLiteral("Частей: %1. Первая ячейка (0..%2):").arg(count).arg(kLastSlot + 1 - count),
        0, kLastSlot + 1 - count);
    ask.repeatQuestion = QStringLiteral("Недопустимый Номер Логотипа. Повторить ввод?");
    ask.numberRequired = true;
    const NumberAnswer firstSlot = askNumber(s.dialogs, ask);
    if (!firstSlot)
        return;

    const auto map = fetchGraphicMap(s);
    if (!map)
        return;
    const std::map<int, QByteArray> files = parts.inSlots(int(firstSlot.value));
    QList<int> targets, occupied;
    for (const auto& [slot, bin] : files) {
        targets.append(slot);
        if (map->size() > slot && map->at(slot) == 'Y')
            occupied.append(slot);
    }
    QString summary = QStringLiteral("Частей рисунка: %1 (%2 .. %3).\n\rЯчейки: %4.\n\r")
                          .arg(count)
                          .arg(QFileInfo(parts.files.first()).fileName(),
                               QFileInfo(parts.files.last()).fileName(), numberList(targets, 3));
    if (!occupied.isEmpty())
        summary += QStringLiteral("Занятые ячейки будут перезаписаны: ") + numberList(occupied, 3) +
                   QStringLiteral(".\n\r");
    if (s.dialogs.messageBox(kTitle, summary + QStringLiteral("\n\rЗаписать?"),
                             MessageIcon::Question, MessageButtons::YesNo) != MessageAnswer::Yes)
        return;

    const ServiceReport report = writeSlotSeries(s, kTitle, files);
    if (report.outcome == Outcome::Done) {
        s.dialogs.messageBox(kTitle,
                             QStringLiteral("Части рисунка записаны в ячейки: ") +
                                 numberList(report.logos, 3) +
                                 QStringLiteral(".\n\rВсе прочитаны обратно и совпадают "
                                                "с файлами."),
                             MessageIcon::Information, MessageButtons::Ok);
        return;
    }
    QString text = report.outcome == Outcome::Stopped
                       ? QStringLiteral("Запись частей рисунка остановлена.\n\r")
                       : QString();
    text += QStringLiteral("Записаны ячейки: ") +
            (report.logos.isEmpty() ? QStringLiteral("ни одной") : numberList(report.logos, 3)) +
            QLatin1Char('.');
    if (!report.notWritten.isEmpty())
        text += QStringLiteral("\n\rНе записаны: ") + report.notWritten.join(QStringLiteral(", ")) +
                QLatin1Char('.');
    if (!report.failed.isEmpty())
        text += QStringLiteral("\r\n\nНе подтверждены:\n\r") +
                report.failed.join(QStringLiteral("\n\r"));
    if (report.outcome == Outcome::Stopped)
        s.dialogs.messageBox(kTitle, text, MessageIcon::Information, MessageButtons::Ok);
    else
        s.dialogs.messageBox(QStringLiteral("ПРЕДУПРЕЖДЕНИЕ"), text, MessageIcon::Warning,
                             MessageButtons::Ok);
}

} // namespace service
