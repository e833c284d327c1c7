// SPDX-License-Identifier: GPL-3.0-or-later
#include "service/service_commands.h"

#include "device/area_maps.h"
#include "device/counters_readout.h"
#include "device/print_mode_readout.h"
#include "device/print_system_readout.h"
#include "device/readouts.h"
#include "link/link_messages.h"
#include "link/request_exchange.h"
#include "link/version_query.h"
#include "logos/logo_transfer.h"
#include "marks/mark_file.h"
#include "marks/mark_record.h"
#include "marks/mark_transfer.h"
#include "marks/text_check.h"
#include "service/backup_folder.h"

#include <QFileInfo>
#include <algorithm>
#include <functional>
#include <optional>
#include <set>

using namespace platform;
using namespace device;
using namespace logos;
using namespace printerlink;

namespace service {

QString otherModelTitle() {
    return QStringLiteral("Другая модель");
}

QString restoreTitle() {
    return QStringLiteral("Восстановление из резервной копии");
}

QString currentMarkTitle() {
    return QStringLiteral("Текущая марка 00");
}

namespace {

const QString kSystemTitle = QStringLiteral("СООБЩЕНИЕ СИСТЕМЫ");
constexpr int kMarkPlaces = 85;
constexpr int kLogoSlots = 128;

// The items of a series as they begin, and the user's request to stop between two of them.
class Steps {
public:
    // `doing` prefixes every item shown: "Чтение: Марка 05".
    Steps(Session& s, QString title, QString doing)
        : s_(s), title_(std::move(title)), doing_(std::move(doing)) {}
    ~Steps() { end(); }
    Steps(const Steps&) = delete;
    Steps& operator=(const Steps&) = delete;

    void setTotal(int total) { total_ = total; }
    // False when the user asked to stop: the item is then not begun.
    bool begin(const QString& item) {
        if (s_.dialogs.stopRequested())
            return false;
        s_.dialogs.showSteps(title_, begun_, qMax(total_, begun_ + 1),
                             doing_ + QStringLiteral(": ") + item);
        ++begun_;
        return true;
    }
    // Before the result is shown.
    void end() {
        if (begun_ > 0)
            s_.dialogs.showSteps(title_, 0, 0, {});
        begun_ = 0;
    }

private:
    Session& s_;
    QString title_;
    QString doing_;
    int begun_ = 0;
    int total_ = 0;
};

const QString kBackupTitle = QStringLiteral("Резервная копия Маркиратора");
const QString kCompareTitle = QStringLiteral("Сравнение с резервной копией");

std::set<int> occupied(const QByteArray& map, int first, int count) {
    const QList<int> places = device::occupiedPlaces(map, first, count);
    return {places.begin(), places.end()};
}

marks::MarkReader readerFor(int number) {
    return number == 0 ? marks::MarkReader::Current : marks::MarkReader::ByNumber;
}

// A reply cut short by a stall on the line reads as free places or zero columns; a backup must
// not keep that, so a read-only request whose reply is short or malformed is asked again.
constexpr int kAttempts = 4;

// Before asking again: whatever is still on its way from the short reply would be taken for the
// start of the next one.
void waitForQuietLine(Session& s) {
    constexpr int kQuietMs = 300;
    constexpr int kLimitMs = 3000;
    const qint64 start = s.clock.elapsedMs();
    qint64 lastByte = start;
    while (s.port.isOpen() && s.clock.elapsedMs() - lastByte < kQuietMs &&
           s.clock.elapsedMs() - start < kLimitMs) {
        s.clock.waitMs(5);
        if (const qint64 waiting = s.port.inputWaiting(); waiting > 0) {
            s.port.read(waiting);
            lastByte = s.clock.elapsedMs();
        }
    }
}

// The reason given when the printer's reply could not be read at all (an error was shown).
const QString kReadFailed = QStringLiteral("ошибка чтения");
// A line that goes on talking after the reply: whatever came is no reply to keep.
const QString kStillTalking = QStringLiteral("после ответа линия продолжает передавать");

// The version, whole: a reply cut short would give a wrong model name to the backup.
std::optional<VersionReply> readWholeVersion(Session& s, QString* why = nullptr) {
    std::optional<VersionReply> reply;
    bool talking = false;
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        if (attempt > 1)
            waitForQuietLine(s);
        reply = fetchVersion(s);
        if (!reply)
            return std::nullopt;
        // A reply cut by a pause of a loaded line has its tail still coming: asked again.
        if (lineStillTalking(s)) {
            talking = true;
            continue;
        }
        talking = false;
        const QString date = reply->text.right(6);
        const bool whole =
            reply->modelName.trimmed().size() == 4 &&
            std::all_of(date.begin(), date.end(), [](QChar c) { return c.isDigit(); });
        if (whole)
            return reply;
    }
    if (talking) {
        if (why)
            *why = kStillTalking;
        return std::nullopt;
    }
    reportReadError(s);
    return std::nullopt;
}

// Reads one mark into a file; nothing after a failure, with the reason in `why`. `unknownCodes`
// gets the fragments whose function a mark file cannot keep.
std::optional<QByteArray> readMarkFile(Session& s, int number, bool* empty, QString* why,
                                       QStringList* unknownCodes = nullptr) {
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        if (attempt > 1)
            waitForQuietLine(s);
        qint64 received = 0;
        const auto reply = marks::fetchMarkReply(s, number, readerFor(number), &received);
        if (!reply) {
            *why = kReadFailed;
            return std::nullopt;
        }
        if (received > marks::kMarkDataSize || lineStillTalking(s)) {
            *why = kStillTalking;
            continue;
        }
        *empty = marks::isEmptyMarkReply(*reply);
        // An empty place may answer with less than a whole mark.
        if (received >= marks::kMarkDataSize || *empty) {
            const marks::RecordProblems problems = marks::checkMarkRecords(*reply);
            if (problems.notAMark()) {
                *why = QStringLiteral("не марка: ") + marks::recordProblemsText(problems);
                return std::nullopt;
            }
            if (unknownCodes)
                *unknownCodes = problems.unknownCode;
            marks::MarkRows rows = marks::initialRows();
            marks::decodeMarkData(*reply, readerFor(number), rows);
            // A mark file holds a fragment per line: such a text would come back cut.
            if (const QStringList breaks = marks::checkTexts(rows, false).lineBreaks;
                !breaks.isEmpty()) {
                *why = QStringLiteral("перевод строки в тексте фрагментов %1, в файл марки не "
                                      "записать")
                           .arg(breaks.join(QStringLiteral(", ")));
                return std::nullopt;
            }
            return marks::encodeMarkFile(rows);
        }
        *why = QStringLiteral("ответ неполный");
    }
    return std::nullopt;
}

std::optional<QByteArray> readSlotFile(Session& s, int slot, QString* why) {
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        if (attempt > 1)
            waitForQuietLine(s);
        const auto read = fetchLogoSlot(s, slot);
        if (!read) {
            *why = kReadFailed;
            return std::nullopt;
        }
        if (read->overrun || lineStillTalking(s)) {
            *why = kStillTalking;
            continue;
        }
        if (read->state == SlotRead::Data &&
            read->reply.size() >= 3 + qint64(read->width) * read->byteRows)
            return read->binFile();
        // Only slots the map calls occupied are read: silence or a bad header is a fault.
        *why = read->state == SlotRead::Empty ? QStringLiteral("ячейка не ответила")
               : read->state == SlotRead::Data ? QStringLiteral("ответ неполный")
                                               : QStringLiteral("неверный формат");
    }
    return std::nullopt;
}

// The occupancy map, every place 'Y' or 'N'; nothing after a failure or two incomplete replies.
std::optional<QByteArray> readMap(Session& s, std::optional<QByteArray> (*fetch)(Session&),
                                  int places, QString* why = nullptr) {
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        if (attempt > 1)
            waitForQuietLine(s);
        const auto map = fetch(s);
        if (!map)
            return std::nullopt;
        if (lineStillTalking(s)) {
            if (why)
                *why = kStillTalking;
            continue;
        }
        if (why)
            why->clear();
        const QByteArray head = map->left(places);
        if (head.count('Y') + head.count('N') == places)
            return map;
    }
    if (why && why->isEmpty())
        *why = QStringLiteral("ответ неполный");
    return std::nullopt;
}

// A read-out cut by a pause of a loaded line has its tail still coming: it is asked again.
// Nothing when the request failed, or when the line never fell quiet after it (`*talking`).
template <typename Fetch>
auto fetchWhileQuiet(Session& s, Fetch fetch, bool* talking) -> decltype(fetch()) {
    *talking = false;
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        if (attempt > 1)
            waitForQuietLine(s);
        auto reply = fetch();
        if (!reply || !lineStillTalking(s))
            return reply;
    }
    *talking = true;
    return {};
}

struct MemoryRead {
    std::optional<PrinterMemory> memory;
    QString failedItem;
    bool stopped = false;
    QStringList unknownCodes; // "Марка 05: фрагменты 11, 12"
};

// "Марка 05: ответ неполный"; the item alone when there is no reason to give.
QString item(const QString& label, const QString& why) {
    return why.isEmpty() ? label : label + QStringLiteral(": ") + why;
}

MemoryRead readPrinterMemory(Session& s, Steps& steps, bool withReadouts) {
    MemoryRead out;
    PrinterMemory m;
    const auto fail = [&](const QString& item) {
        out.failedItem = item;
        return out;
    };
    const auto stop = [&] {
        out.stopped = true;
        return out;
    };
    steps.setTotal(3);
    if (!steps.begin(QStringLiteral("версия")))
        return stop();
    QString why;
    const auto version = readWholeVersion(s, &why);
    if (!version)
        return fail(item(QStringLiteral("версия"), why));
    m.model = version->modelName;
    m.version = version->text.mid(1);
    if (!steps.begin(QStringLiteral("карта марок")))
        return stop();
    const auto markMap = readMap(s, fetchTextMarkMap, kMarkPlaces, &why);
    if (!markMap)
        return fail(item(QStringLiteral("карта области текстовых марок"), why));
    if (!steps.begin(QStringLiteral("карта логотипов")))
        return stop();
    const auto logoMap = readMap(s, fetchGraphicMap, kLogoSlots, &why);
    if (!logoMap)
        return fail(item(QStringLiteral("карта графической области"), why));
    const std::set<int> markNumbers = occupied(*markMap, 1, kMarkPlaces);
    const std::set<int> slotNumbers = occupied(*logoMap, 0, kLogoSlots);
    steps.setTotal(3 + 1 + int(markNumbers.size()) + int(slotNumbers.size()) +
                   (withReadouts ? 4 : 0));

    bool empty = false;
    if (!steps.begin(markLabel(0)))
        return stop();
    QStringList unknownCodes;
    const auto noteCodes = [&](int n) {
        if (!unknownCodes.isEmpty())
            out.unknownCodes.append(markLabel(n) + QStringLiteral(": фрагменты ") +
                                    unknownCodes.join(QStringLiteral(", ")));
    };
    const auto current = readMarkFile(s, 0, &empty, &why, &unknownCodes);
    if (!current)
        return fail(item(markLabel(0), why));
    if (!empty) {
        m.marks[0] = *current;
        noteCodes(0);
    }
    for (int n : markNumbers) {
        if (!steps.begin(markLabel(n)))
            return stop();
        // A place the map calls occupied is kept even when its first fragment is blank.
        const auto file = readMarkFile(s, n, &empty, &why, &unknownCodes);
        if (!file)
            return fail(item(markLabel(n), why));
        m.marks[n] = *file;
        noteCodes(n);
    }
    for (int n : slotNumbers) {
        if (!steps.begin(slotLabel(n)))
            return stop();
        const auto file = readSlotFile(s, n, &why);
        if (!file)
            return fail(item(slotLabel(n), why));
        m.logos[n] = *file;
    }
    if (withReadouts) {
        QStringList texts{versionMessage(*version)};
        const QString settingsItem = QStringLiteral("уставки системы печати");
        if (!steps.begin(settingsItem))
            return stop();
        bool talking = false;
        const auto settings = fetchWhileQuiet(
            s, [&] { return printSystemSettingsReadout(s); }, &talking);
        if (!settings)
            return fail(item(settingsItem, talking ? kStillTalking : QString()));
        texts.append(*settings);
        const QString modeItem = QStringLiteral("уставки режима печати");
        if (!steps.begin(modeItem))
            return stop();
        const auto mode = fetchWhileQuiet(
            s, [&] { return printModeReadout(s); }, &talking);
        if (!mode)
            return fail(item(modeItem, talking ? kStillTalking : QString()));
        texts.append(*mode);
        for (const auto counter : {device::Counter::RunningHours, device::Counter::PrintedMarks}) {
            const QString counterItem = counter == device::Counter::RunningHours
                                            ? QStringLiteral("время работы")
                                            : QStringLiteral("число отпечатанных марок");
            if (!steps.begin(counterItem))
                return stop();
            const auto reply = fetchWhileQuiet(
                s, [&] { return fetchCounter(s, counter); }, &talking);
            if (!reply)
                return fail(item(counterItem, talking ? kStillTalking : QString()));
            texts.append(device::counterSentence(*reply, counter));
        }
        m.readouts = texts.join(QStringLiteral("\r\n\n")) + QStringLiteral("\r\n");
    }
    // Once at the end, long enough for a flood that comes in a USB adapter's packets.
    constexpr int kFinalListenMs = 50;
    if (lineStillTalking(s, kFinalListenMs))
        return fail(kStillTalking);
    out.memory = m;
    return out;
}

QString programName() {
    return QStringLiteral("inkwick ") + QStringLiteral(INKWICK_VERSION);
}

ServiceReport backupImpl(Session& s, const std::function<QString(const QString&)>& folderFor) {
    ServiceReport report;
    Steps steps(s, kBackupTitle, QStringLiteral("Чтение"));
    const QDateTime taken = s.clock.now();
    const qint64 start = s.clock.elapsedMs();
    const MemoryRead read = readPrinterMemory(s, steps, true);
    steps.end();
    if (read.stopped) {
        report.outcome = Outcome::Stopped;
        s.dialogs.messageBox(kSystemTitle,
                             QStringLiteral("Резервная копия не создана: чтение остановлено.\n\r"
                                            "На диск ничего не записано."),
                             MessageIcon::Information, MessageButtons::Ok);
        return report;
    }
    if (!read.memory) {
        report.outcome = Outcome::LinkFailed;
        report.failed.append(read.failedItem);
        s.dialogs.error(QStringLiteral("Резервная копия не создана: не прочитано - ") +
                        read.failedItem + QStringLiteral("."));
        return report;
    }
    const PrinterMemory& m = *read.memory;
    BackupManifest manifest;
    manifest.model = m.model;
    manifest.version = m.version;
    manifest.taken = taken;
    manifest.durationMs = s.clock.elapsedMs() - start;
    manifest.program = programName();
    report.folder = folderFor(m.model);
    if (const QString error = writeBackupFolder(report.folder, m, manifest); !error.isEmpty()) {
        report.outcome = Outcome::FileError;
        s.dialogs.error(QStringLiteral("Резервная копия не создана.\n\r") + error);
        return report;
    }
    for (const auto& [n, file] : m.marks)
        report.marks.append(n);
    for (const auto& [n, file] : m.logos)
        report.logos.append(n);
    report.notes = read.unknownCodes;
    QString text = QStringLiteral("Резервная копия Маркиратора %1 создана:\n\r%2\n\r"
                                  "Марок: %3, логотипов: %4.")
                       .arg(m.model, QDir::toNativeSeparators(report.folder))
                       .arg(report.marks.size())
                       .arg(report.logos.size());
    if (!report.notes.isEmpty())
        text += QStringLiteral("\r\n\nНеизвестный код функции (в копии и при восстановлении - "
                               "Текст):\n\r") +
                report.notes.join(QStringLiteral("\n\r"));
    s.dialogs.messageBox(kSystemTitle, text,
                         report.notes.isEmpty() ? MessageIcon::Information : MessageIcon::Warning,
                         MessageButtons::Ok);
    return report;
}

// The check stage of restore and compare: the whole folder or nothing.
std::optional<LoadedBackup> checkedBackup(Session& s, const QString& folder, const QString& what,
                                          ServiceReport& report) {
    LoadedBackup loaded = loadBackupFolder(folder);
    report.folder = folder;
    if (loaded.ok())
        return loaded;
    report.outcome = Outcome::FileError;
    report.failed = loaded.problems;
    s.dialogs.error(what + QStringLiteral("\n\rРезервная копия '") +
                    QDir::toNativeSeparators(folder) + QStringLiteral("' не годится:\n\r") +
                    loaded.problems.join(QStringLiteral("\n\r")));
    return std::nullopt;
}

bool ask(Session& s, const QString& title, const QString& text) {
    return s.dialogs.messageBox(title, text, MessageIcon::Question, MessageButtons::YesNo) ==
           MessageAnswer::Yes;
}

QString restoreSummary(const LoadedBackup& backup, const std::set<int>& printerMarks,
                       const std::set<int>& printerSlots) {
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
    return text + QStringLiteral("\n\rВосстановить?");
}

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
    if (!sendSlotPayload(s, n, bin.mid(2))) {
        *linkLost = true;
        return QStringLiteral("не записан");
    }
    QString why;
    const auto back = readSlotFile(s, n, &why);
    if (!back) {
        *linkLost = why == kReadFailed;
        return QStringLiteral("после записи: ") + why;
    }
    if (slotContent(*back) != slotContent(bin))
        return QStringLiteral("после записи отличается");
    return {};
}

QString clearAndCheck(Session& s, int n, bool* linkLost) {
    if (!clearSlot(s, n)) {
        *linkLost = true;
        return QStringLiteral("не очищен");
    }
    const auto back = fetchLogoSlot(s, n);
    if (!back) {
        *linkLost = true;
        return QStringLiteral("не прочитан после очистки");
    }
    if (back->state != SlotRead::Empty && back->state != SlotRead::OneByte)
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

// `stop` holds what a stop left out.
void showRestoreResult(Session& s, ServiceReport& report, const std::optional<ItemNumbers>& stop,
                       bool linkLost) {
    const bool stopped = stop.has_value();
    QString text;
    if (linkLost) {
        // Not "completed": the printer went away with items still to write.
        report.outcome = Outcome::LinkFailed;
        s.dialogs.error(QStringLiteral("Восстановление из резервной копии не завершено: связь с "
                                       "Маркиратором потеряна.\n\rЗаписаны: ") +
                        itemLines(report.marks, report.logos, report.clearedLogos) +
                        QStringLiteral(".\r\n\nНе подтверждены:\n\r") +
                        report.failed.join(QStringLiteral("\n\r")));
        return;
    }
    if (stopped)
        text = QStringLiteral("Восстановление из резервной копии остановлено.\n\rЗаписаны: ") +
               itemLines(report.marks, report.logos, report.clearedLogos) +
               QStringLiteral(".\n\rНе записаны: ") +
               itemLines(stop->marks, stop->logos, stop->cleared) + QLatin1Char('.');
    else
        text = QStringLiteral("Восстановление из резервной копии завершено.\n\r"
                              "Записано марок: %1, логотипов: %2, очищено ячеек: %3.")
                   .arg(report.marks.size())
                   .arg(report.logos.size())
                   .arg(report.clearedLogos.size());
    if (!report.failed.isEmpty()) {
        report.outcome = Outcome::LinkFailed;
        s.dialogs.messageBox(QStringLiteral("ПРЕДУПРЕЖДЕНИЕ"),
                             text + QStringLiteral("\r\n\nНе подтверждены:\n\r") +
                                 report.failed.join(QStringLiteral("\n\r")),
                             MessageIcon::Warning, MessageButtons::Ok);
        return;
    }
    if (stopped) {
        report.outcome = Outcome::Stopped;
        s.dialogs.messageBox(kSystemTitle, text, MessageIcon::Information, MessageButtons::Ok);
        return;
    }
    s.dialogs.messageBox(kSystemTitle,
                         text + QStringLiteral("\n\rВсё прочитано обратно и совпадает с копией."),
                         MessageIcon::Information, MessageButtons::Ok);
}

} // namespace

ServiceReport backupTo(Session& s, const QString& folder) {
    if (QFileInfo::exists(folder)) {
        s.dialogs.error(QStringLiteral("Резервная копия не создана: папка '%1' уже существует.")
                            .arg(QDir::toNativeSeparators(folder)));
        ServiceReport report;
        report.outcome = Outcome::FileError;
        report.folder = folder;
        return report;
    }
    return backupImpl(s, [&](const QString&) { return folder; });
}

ServiceReport backupInto(Session& s, const QDir& parent) {
    const QDateTime taken = s.clock.now();
    return backupImpl(
        s, [&](const QString& model) { return parent.filePath(backupFolderName(model, taken)); });
}

ServiceReport restoreFrom(Session& s, const QString& folder) {
    ServiceReport report;
    const auto backup = checkedBackup(
        s, folder, QStringLiteral("Восстановление отменено, ничего не записано."), report);
    if (!backup)
        return report;
    QString why;
    const auto version = readWholeVersion(s, &why);
    const auto markMap = version ? readMap(s, fetchTextMarkMap, kMarkPlaces, &why) : std::nullopt;
    const auto logoMap = markMap ? readMap(s, fetchGraphicMap, kLogoSlots, &why) : std::nullopt;
    if (!logoMap) {
        report.outcome = Outcome::LinkFailed;
        if (!s.link.error)
            s.dialogs.error(
                QStringLiteral("Восстановление отменено, ничего не записано: %1 - %2.")
                    .arg(!version ? QStringLiteral("версия") : QStringLiteral("карта занятости"),
                         why));
        return report;
    }
    const QString model = version->modelName;
    if (model != backup->manifest.model &&
        !ask(s, otherModelTitle(),
             QStringLiteral("Копия снята с Маркиратора %1, а подключён %2.\n\rВсё равно "
                            "восстановить?")
                 .arg(backup->manifest.model, model))) {
        report.outcome = Outcome::NotConfirmed;
        return report;
    }
    const std::set<int> printerSlots = occupied(*logoMap, 0, kLogoSlots);
    if (!ask(s, restoreTitle(),
             restoreSummary(*backup, occupied(*markMap, 1, kMarkPlaces), printerSlots))) {
        report.outcome = Outcome::NotConfirmed;
        return report;
    }
    const auto& backupMarks = backup->memory.marks;
    const bool withCurrent =
        backupMarks.count(0) &&
        ask(s, currentMarkTitle(),
            QStringLiteral("В копии есть текущая марка 00 (та, что печатается).\n\r"
                           "Записать и её?"));

    // Numbered marks first, the mark being printed last, then the slots and the slots to clear.
    struct Item {
        ItemKind kind;
        int number;
        QString label;
        std::function<QString(bool*)> run;
    };
    QList<Item> items;
    for (const auto& [n, file] : backupMarks)
        if (n != 0)
            items.append({ItemKind::Mark, n, markLabel(n),
                          [&s, n, &file](bool* lost) { return restoreMark(s, n, file, lost); }});
    if (withCurrent)
        items.append({ItemKind::Mark, 0, markLabel(0), [&s, &backupMarks](bool* lost) {
                          return restoreMark(s, 0, backupMarks.at(0), lost);
                      }});
    for (const auto& [n, bin] : backup->memory.logos)
        items.append({ItemKind::Slot, n, slotLabel(n),
                      [&s, n, &bin](bool* lost) { return restoreSlot(s, n, bin, lost); }});
    for (int n : printerSlots)
        if (!backup->memory.logos.count(n))
            items.append({ItemKind::Clear, n, slotLabel(n),
                          [&s, n](bool* lost) { return clearAndCheck(s, n, lost); }});

    Steps steps(s, restoreTitle(), QStringLiteral("Запись и проверка"));
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
    showRestoreResult(s, report, stop, linkLost);
    return report;
}

ServiceReport writeSlotSeries(Session& s, const QString& title,
                              const std::map<int, QByteArray>& files) {
    ServiceReport report;
    Steps steps(s, title, QStringLiteral("Запись и проверка"));
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

ServiceReport compareWith(Session& s, const QString& folder) {
    ServiceReport report;
    const auto backup = checkedBackup(s, folder, QStringLiteral("Сравнение невозможно."), report);
    if (!backup)
        return report;
    Steps steps(s, kCompareTitle, QStringLiteral("Чтение"));
    const MemoryRead read = readPrinterMemory(s, steps, false);
    steps.end();
    if (read.stopped) {
        report.outcome = Outcome::Stopped;
        s.dialogs.messageBox(kSystemTitle, QStringLiteral("Сравнение остановлено."),
                             MessageIcon::Information, MessageButtons::Ok);
        return report;
    }
    if (!read.memory) {
        report.outcome = Outcome::LinkFailed;
        report.failed.append(read.failedItem);
        s.dialogs.error(QStringLiteral("Сравнение прервано: не прочитано - ") + read.failedItem +
                        QStringLiteral("."));
        return report;
    }
    if (read.memory->model != backup->manifest.model)
        report.differences.append(QStringLiteral("Модель: в копии %1, подключён %2")
                                      .arg(backup->manifest.model, read.memory->model));
    report.differences += memoryDifferences(*read.memory, backup->memory);
    s.dialogs.messageBox(kSystemTitle,
                         report.differences.isEmpty()
                             ? QStringLiteral("Маркиратор совпадает с резервной копией.")
                             : QStringLiteral("Отличия от резервной копии:\n\r") +
                                   report.differences.join(QStringLiteral("\n\r")),
                         MessageIcon::Information, MessageButtons::Ok);
    return report;
}

namespace {

// The folder of the manifest the user picks; "" when cancelled.
QString chooseBackup(Session& s, const QString& title) {
    const QString manifest =
        s.dialogs.openFile(title, s.workDir.filePath(manifestFilePath()),
                           QStringLiteral("Резервная копия (manifest.json)|manifest.json"));
    return manifest.isEmpty() ? QString() : QFileInfo(manifest).absolutePath();
}

} // namespace

void backupPrinter(Session& s) {
    backupInto(s, s.workDir);
}

void restoreFromBackup(Session& s) {
    if (const QString folder = chooseBackup(s, restoreTitle()); !folder.isEmpty())
        restoreFrom(s, folder);
}

void compareWithBackup(Session& s) {
    if (const QString folder = chooseBackup(s, QStringLiteral("Сравнение с резервной копией"));
        !folder.isEmpty())
        compareWith(s, folder);
}

} // namespace service
