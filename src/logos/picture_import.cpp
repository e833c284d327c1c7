// SPDX-License-Identifier: GPL-3.0-or-later
#include "logos/picture_import.h"

#include "logos/column_packing.h"
#include "logos/logo_document.h"
#include "logos/logo_file_commands.h"
#include "logos/picture_files.h"
#include "logos/picture_reading.h"
#include "logos/split_plan.h"

#include <QFileInfo>

using namespace platform;
using namespace printerlink;

namespace logos {

namespace {

constexpr int MaxBinParts = 12;

QString widthList(const QList<int>& widths) {
    QStringList parts;
    for (int w : widths)
        parts << QString::number(w);
    return parts.join(QStringLiteral(" + "));
}

} // namespace

QString pictureInfoText(const QString& name, QSize sourceSize) {
    return QStringLiteral("Рисунок: %1, %2 x %3 пикселей")
        .arg(name)
        .arg(sourceSize.width())
        .arg(sourceSize.height());
}

QString resultText(QSize size, int dotCount) {
    return QStringLiteral("Результат: %1 x %2 точек, активных капель: %3")
        .arg(size.width())
        .arg(size.height())
        .arg(dotCount);
}

QString splitNoticeText(QSize size) {
    const int rows = byteRowsFor(size.height());
    const int bytes = rows * size.width();
    if (bytes <= SlotBytes)
        return {};
    QString text = QStringLiteral("Логотип шире одной ячейки (%1 байт, в ячейку входит %2).\n\r")
                       .arg(bytes)
                       .arg(SlotBytes);
    const int strips = slotStripCount(size.width(), rows);
    if (strips > 0)
        text += QStringLiteral("Запись в Маркиратор разделит его на %1 части: %2 точек.\n\r")
                    .arg(strips)
                    .arg(widthList(slotStripWidths(size.width(), strips)));
    const int parts = binPartCount(size.width(), rows);
    if (parts > MaxBinParts)
        text += QStringLiteral("В файлы BIN не сохранить: более %1 логотипов. "
                               "Уменьшите высоту или сохраните в BMP.")
                    .arg(MaxBinParts);
    else
        text += QStringLiteral("Сохранение в BIN: %1 %2 по %3 точек.")
                    .arg(parts)
                    .arg(parts <= 4 ? QStringLiteral("файла") : QStringLiteral("файлов"))
                    .arg(widthList(binPartWidths(size.width(), rows, parts)));
    return text;
}

void importPicture(Session& s, PictureImportDialog& dialog) {
    if (!offerSaveBeforeReplacing(s))
        return;
    const QString name =
        s.dialogs.openFile(QStringLiteral("Импорт рисунка"), QString(), pictureFileFilter());
    if (name.isEmpty())
        return;
    const PictureRead read = readPicture(resolveLogoPath(s, name));
    if (!read.error.isEmpty()) {
        s.dialogs.error(read.error);
        return;
    }
    const WorkingPicture working = workingPicture(read.picture);
    const std::optional<ConversionOptions> options =
        dialog.choose(working, QFileInfo(name).fileName());
    if (!options)
        return;
    const ConvertedPicture converted = convertWorking(working, *options);
    s.logo->importPicture(converted.dots);
    s.status.setField(GraphicField::File, QStringLiteral("Рисунок: ..."));
    s.status.setField(GraphicField::Size, QStringLiteral("Размер XY: %1x%2")
                                              .arg(converted.dots.width())
                                              .arg(converted.dots.height()));
}

} // namespace logos
