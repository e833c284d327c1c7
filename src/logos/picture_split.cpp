// SPDX-License-Identifier: GPL-3.0-or-later
#include "logos/picture_split.h"

#include "logos/column_packing.h"
#include "logos/logo_document.h"
#include "logos/logo_file_commands.h"
#include "logos/picture_files.h"
#include "logos/split_plan.h"

#include <QDir>
#include <QFileInfo>

using namespace platform;
using namespace printerlink;

namespace logos {

namespace {

QString binPartBase(const QFileInfo& chosen) {
    QString base = chosen.fileName();
    base.chop(4);
    return base.toLower();
}

} // namespace

QString binPartPath(const QString& chosenPath, int k) {
    const QFileInfo chosen(chosenPath);
    return chosen.absoluteDir().filePath(
        QStringLiteral("%1_%2.bin").arg(binPartBase(chosen)).arg(k));
}

BinSplit splitIntoBinFiles(Session& s, const QString& name, int parts) {
    LogoDocument& logo = *s.logo;
    const QString chosenPath = resolveLogoPath(s, name);
    const QString base = binPartBase(QFileInfo(chosenPath));
    const int rows = logo.byteRows();
    const QList<int> widths = binPartWidths(logo.width(), rows, parts);

    int first = 0;
    for (int k = 1; k <= widths.size(); ++k) {
        const int w = widths[k - 1];
        const QByteArray columns =
            packColumns(logo.dotImage(), first, w, logo.height(), rows, 8 * rows - 1);
        const QString error = writeFileAtomically(binPartPath(chosenPath, k),
                                                  encodeBin(w, rows, columns, rows * w + 2));
        if (!error.isEmpty()) {
            s.dialogs.error(error);
            return BinSplit::Failed;
        }
        first += w;
    }

    const QString question = QStringLiteral(" Создано %1 файлов:\n\r").arg(widths.size()) +
                             QStringLiteral("Открыть первый из созданных файлов: ") +
                             base.toUpper() + QStringLiteral("_1.BIN?");
    if (s.dialogs.messageBox(QStringLiteral("Преобразование файла завершено"), question,
                             MessageIcon::None, MessageButtons::YesNo) != MessageAnswer::Yes)
        return BinSplit::Written;
    return loadPackedLogoFile(s, binPartPath(chosenPath, 1), QStringLiteral("bin"))
               ? BinSplit::FirstPartOpened
               : BinSplit::Written;
}

SlotSplit splitForSlot(Session& s) {
    LogoDocument& logo = *s.logo;
    const int strips = slotStripCount(logo.width(), logo.byteRows());
    if (strips < 2)
        return SlotSplit::NotNeeded;
    const QList<int> widths = slotStripWidths(logo.width(), strips);
    const QString name = logo.currentFile();
    auto stripName = [&](int k) { return name + QStringLiteral("_%1.bmp").arg(k); };

    QList<QImage> pictures;
    int first = 0;
    for (int w : widths) {
        pictures.append(logo.dotImage().copy(first, 0, w, logo.height()));
        first += w;
    }
    for (int k = strips; k >= 1; --k) {
        const QString error = writeBmp(resolveLogoPath(s, stripName(k)), pictures[k - 1]);
        if (!error.isEmpty()) {
            s.dialogs.error(error);
            return SlotSplit::Failed;
        }
    }

    QString question = QStringLiteral(" Создано %1 файлов:\n\r").arg(strips);
    for (int k = 1; k <= strips; ++k)
        question += QStringLiteral("-  ") + stripName(k) + QStringLiteral("\n\r");
    question += QStringLiteral("\n\rОткрыть первый из созданных файлов: \n\r_1.BMP?");
    if (s.dialogs.messageBox(QStringLiteral("Преобразование завершено"), question,
                             MessageIcon::None, MessageButtons::YesNo) != MessageAnswer::Yes)
        return SlotSplit::Declined;

    logo.loadPicture(pictures.first());
    logo.setCurrentFile(stripName(1), QStringLiteral("bmp"));
    showOpenedPictureStatus(s, logo.currentFile());
    return SlotSplit::FirstStripOpened;
}

} // namespace logos
