// SPDX-License-Identifier: GPL-3.0-or-later
// The series that write into the printer: restore and a series of slots. Every item is read
// back after it is written; only what reads back the same counts as written.
#include "link/session.h"
#include "logos/logo_transfer.h"
#include "marks/mark_file.h"
#include "marks/mark_transfer.h"
#include "service/printer_reading.h"
#include "service/series_common.h"
#include "service/series_operations.h"

#include <functional>

using namespace platform;
using namespace printerlink;

namespace service {

namespace {

const QString kRestoreTitle = QStringLiteral("Восстановление из резервной копии");
const QString kWriting = QStringLiteral("Запись и проверка");

// Writes one mark and reads it back; "" when it verified, else why not. `linkLost` when the
// printer stopped answering.
QString restoreMark(Session& s, int n, const QByteArray& file, bool* linkLost) {
    const auto rows = marks::decodeMarkFile(file, marks::initialRows(), marks::FileFonts::Keep);
    if (!marks::sendMark(s, n, *rows)) {
        *linkLost = true;
        return QStringLiteral("не записана");
    }
    bool empty = false;
    QString why;
    const auto back = readMarkFile(s, n, &empty, &why);
    if (!back) {
        *linkLost = true;
        return QStringLiteral("не прочитана после записи");
    }
    if (const QStringList f = differingFragments(file, *back); !f.isEmpty())
        return QStringLiteral("после записи отличаются фрагменты ") + f.join(QStringLiteral(", "));
    return {};
}

QString restoreSlot(Session& s, int n, const QByteArray& bin, bool* linkLost) {
    // Every byte the printer once sent after the length word goes back, not only the columns.
    if (!logos::sendSlotPayload(s, n, bin.mid(2))) {
        *linkLost = true;
        return QStringLiteral("не записан");
    }
    QString why;
    const auto back = readSlotFile(s, n, &why);
    if (!back) {
        *linkLost = why == readFailedReason();
        return QStringLiteral("после записи: ") + why;
    }
    if (slotContent(*back) != slotContent(bin))
        return QStringLiteral("после записи отличается");
    return {};
}

QString clearAndCheck(Session& s, int n, bool* linkLost) {
    if (!logos::clearSlot(s, n)) {
        *linkLost = true;
        return QStringLiteral("не очищен");
    }
    const auto back = logos::fetchLogoSlot(s, n);
    if (!back) {
        *linkLost = true;
        return QStringLiteral("не прочитан после очистки");
    }
    if (back->state != logos::SlotRead::Empty && back->state != logos::SlotRead::OneByte)
        return QStringLiteral("после очистки не пуст");
    return {};
}

// "марки 01, 05;\n\rлоготипы 003" ("ничего" for none).
QString itemLines(const QList<int>& marks, const QList<int>& logos, const QList<int>& cleared) {
    QStringList lines;
    if (!marks.isEmpty())
        lines.append(QStringLiteral("марки ") + numberList(marks, 2));
    if (!logos.isEmpty())
        lines.append(QStringLiteral("логотипы ") + numberList(logos, 3));
    if (!cleared.isEmpty())
        lines.append(QStringLiteral("очищены ячейки ") + numberList(cleared, 3));
    return lines.isEmpty() ? QStringLiteral("ничего") : lines.join(QStringLiteral(";\n\r"));
}

enum class ItemKind { Mark, Slot, Clear };

// The numbers of the marks, slots and slots to clear of a restore.
struct ItemNumbers {
    QList<int> marks, logos, cleared;
    void add(ItemKind kind, int n) {
        (kind == ItemKind::Mark ? marks : kind == ItemKind::Slot ? logos : cleared).append(n);
    }
};

struct Item {
    ItemKind kind;
    int number;
    QString label;
    std::function<QString(bool*)> run;
};

// Numbered marks first, the mark being printed last, then the slots and the slots to clear.
QList<Item> restoreItems(Session& s, const RestorePlan& plan, bool withCurrent) {
    const auto& backupMarks = plan.backup.memory.marks;
    const auto& backupLogos = plan.backup.memory.logos;
    // Plain loops: a lambda cannot capture a structured binding in every compiler we build with.
    QList<Item> items;
    for (auto it = backupMarks.begin(); it != backupMarks.end(); ++it) {
        const int n = it->first;
        const QByteArray& file = it->second;
        if (n != 0)
            items.append({ItemKind::Mark, n, markLabel(n),
                          [&s, n, &file](bool* lost) { return restoreMark(s, n, file, lost); }});
    }
    if (withCurrent && plan.hasCurrentMark())
        items.append({ItemKind::Mark, 0, markLabel(0), [&s, &backupMarks](bool* lost) {
                          return restoreMark(s, 0, backupMarks.at(0), lost);
                      }});
    for (auto it = backupLogos.begin(); it != backupLogos.end(); ++it) {
        const int n = it->first;
        const QByteArray& bin = it->second;
        items.append({ItemKind::Slot, n, slotLabel(n),
                      [&s, n, &bin](bool* lost) { return restoreSlot(s, n, bin, lost); }});
    }
    for (int n : plan.printerSlots)
        if (!backupLogos.count(n))
            items.append({ItemKind::Clear, n, slotLabel(n),
                          [&s, n](bool* lost) { return clearAndCheck(s, n, lost); }});
    return items;
}

// `stop` holds what a stop left out. Sets the outcome when it is not Done.
SeriesMessage restoreResult(ServiceReport& report, const std::optional<ItemNumbers>& stop,
                            bool linkLost) {
    const QString written = itemLines(report.marks, report.logos, report.clearedLogos);
    const QString unconfirmed =
        QStringLiteral("Не подтверждены:\n\r") + report.failed.join(QStringLiteral("\n\r"));
    if (linkLost) {
        // Not "completed": the printer went away with items still to write.
        report.outcome = Outcome::LinkFailed;
        return errorMessage(QStringLiteral("Восстановление из резервной копии не завершено: связь "
                                           "с Маркиратором потеряна.\n\rЗаписаны: ") +
                            written + QStringLiteral(".\r\n\n") + unconfirmed);
    }
    const QString text =
        stop ? QStringLiteral("Восстановление из резервной копии остановлено.\n\rЗаписаны: ") +
                   written + QStringLiteral(".\n\rНе записаны: ") +
                   itemLines(stop->marks, stop->logos, stop->cleared) + QLatin1Char('.')
             : QStringLiteral("Восстановление из резервной копии завершено.\n\r"
                              "Записано марок: %1, логотипов: %2, очищено ячеек: %3.")
                   .arg(report.marks.size())
                   .arg(report.logos.size())
                   .arg(report.clearedLogos.size());
    if (!report.failed.isEmpty()) {
        report.outcome = Outcome::LinkFailed;
        return {QStringLiteral("ПРЕДУПРЕЖДЕНИЕ"), text + QStringLiteral("\r\n\n") + unconfirmed,
                MessageIcon::Warning};
    }
    if (stop) {
        report.outcome = Outcome::Stopped;
        return {kSystemTitle, text};
    }
    return {kSystemTitle, text + QStringLiteral("\n\rВсё прочитано обратно и совпадает с копией.")};
}

} // namespace

QString RestorePlan::summary() const {
    QList<int> overwritten, added, cleared, keptMarks;
    for (const auto& [n, file] : backup.memory.logos)
        (printerSlots.count(n) ? overwritten : added).append(n);
    for (int n : printerSlots)
        if (!backup.memory.logos.count(n))
            cleared.append(n);
    for (int n : printerMarks)
        if (!backup.memory.marks.count(n))
            keptMarks.append(n);
    const int markCount = int(backup.memory.marks.size()) - int(backup.memory.marks.count(0));
    QString text = QStringLiteral("Копия Маркиратора %1 от %2.\n\r")
                       .arg(backup.manifest.model,
                            backup.manifest.taken.toString(QStringLiteral("dd.MM.yyyy hh:mm:ss")));
    text += QStringLiteral("Будет записано: марок - %1, логотипов - %2.\n\r")
                .arg(markCount)
                .arg(backup.memory.logos.size());
    if (!overwritten.isEmpty())
        text += QStringLiteral("Перезаписываются ячейки: ") + numberList(overwritten, 3) +
                QStringLiteral("\n\r");
    if (!added.isEmpty())
        text += QStringLiteral("Заполняются пустые ячейки: ") + numberList(added, 3) +
                QStringLiteral("\n\r");
    if (!cleared.isEmpty())
        text += QStringLiteral("Очищаются ячейки (их нет в копии): ") + numberList(cleared, 3) +
                QStringLiteral("\n\r");
    if (!keptMarks.isEmpty())
        text += QStringLiteral("Марки, которых нет в копии, остаются как есть: ") +
                numberList(keptMarks, 2) + QStringLiteral("\n\r");
    return text;
}

std::optional<RestorePlan> planRestore(Session& s, const QString& folder, ServiceReport& refused) {
    auto backup = checkedBackup(
        folder, QStringLiteral("Восстановление отменено, ничего не записано."), refused);
    if (!backup)
        return std::nullopt;
    QString why;
    const auto version = readWholeVersion(s, &why);
    const auto markMap = version ? readMarkMap(s, &why) : std::nullopt;
    const auto logoMap = markMap ? readLogoMap(s, &why) : std::nullopt;
    if (!logoMap) {
        refused.outcome = Outcome::LinkFailed;
        // A link failure has had its own box.
        if (!s.link.error)
            refused.message = errorMessage(
                QStringLiteral("Восстановление отменено, ничего не записано: %1 - %2.")
                    .arg(!version ? QStringLiteral("версия") : QStringLiteral("карта занятости"),
                         why));
        return std::nullopt;
    }
    return RestorePlan{folder, std::move(*backup), version->modelName,
                       occupiedNumbers(*markMap, 1, kMarkPlaces),
                       occupiedNumbers(*logoMap, 0, kLogoSlots)};
}

ServiceReport restoreBackup(Session& s, const RestorePlan& plan, bool withCurrent) {
    ServiceReport report;
    report.folder = plan.folder;
    const QList<Item> items = restoreItems(s, plan, withCurrent);
    SeriesSteps steps(s, kRestoreTitle, kWriting);
    steps.setTotal(int(items.size()));
    bool linkLost = false;
    ItemNumbers written;
    std::optional<ItemNumbers> stop;
    for (const Item& item : items) {
        if (linkLost) {
            report.failed.append(item.label + QStringLiteral(": не записано"));
            continue;
        }
        if (!stop && !steps.begin(item.label))
            stop.emplace();
        if (stop) {
            report.notWritten.append(item.label);
            stop->add(item.kind, item.number);
            continue;
        }
        const QString why = item.run(&linkLost);
        if (!why.isEmpty())
            report.failed.append(item.label + QStringLiteral(": ") + why);
        // An item the printer went away during may be half written: it is named as failed.
        if (why.isEmpty() || !linkLost)
            written.add(item.kind, item.number);
    }
    steps.end();
    report.marks = written.marks;
    report.logos = written.logos;
    report.clearedLogos = written.cleared;
    report.message = restoreResult(report, stop, linkLost);
    return report;
}

ServiceReport writeSlotSeries(Session& s, const QString& title,
                              const std::map<int, QByteArray>& files) {
    ServiceReport report;
    SeriesSteps steps(s, title, kWriting);
    steps.setTotal(int(files.size()));
    bool linkLost = false;
    bool stopped = false;
    for (const auto& [n, bin] : files) {
        stopped = stopped || linkLost || !steps.begin(slotLabel(n));
        if (stopped) {
            report.notWritten.append(slotLabel(n));
            continue;
        }
        if (const QString why = restoreSlot(s, n, bin, &linkLost); !why.isEmpty())
            report.failed.append(slotLabel(n) + QStringLiteral(": ") + why);
        report.logos.append(n);
    }
    report.outcome = !report.failed.isEmpty() || linkLost ? Outcome::LinkFailed
                     : stopped                            ? Outcome::Stopped
                                                          : Outcome::Done;
    return report;
}

} // namespace service
