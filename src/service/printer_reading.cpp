// SPDX-License-Identifier: GPL-3.0-or-later
#include "service/printer_reading.h"

#include "device/area_maps.h"
#include "device/counter_text.h"
#include "device/counters_readout.h"
#include "device/print_mode_readout.h"
#include "device/print_system_readout.h"
#include "device/readouts.h"
#include "link/link_messages.h"
#include "link/request_exchange.h"
#include "logos/logo_transfer.h"
#include "marks/mark_file.h"
#include "marks/mark_record.h"
#include "marks/mark_transfer.h"
#include "marks/text_check.h"

#include <algorithm>
#include <functional>

using namespace printerlink;

namespace service {

namespace {

// A line that goes on talking after the reply: whatever came is no reply to keep.
const QString kStillTalking = QStringLiteral("после ответа линия продолжает передавать");
const QString kIncomplete = QStringLiteral("ответ неполный");

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

enum class Attempt {
    Whole,  // the reply is kept
    Again,  // cut short or followed by more: asked once more
    Failed, // no reply, or one that asking again cannot mend
};

// The one retry loop of every read: true when an attempt gave a whole reply.
bool untilWhole(Session& s, const std::function<Attempt()>& attempt) {
    constexpr int kAttempts = 4;
    for (int n = 1; n <= kAttempts; ++n) {
        if (n > 1)
            waitForQuietLine(s);
        switch (attempt()) {
        case Attempt::Whole:
            return true;
        case Attempt::Failed:
            return false;
        case Attempt::Again:
            break;
        }
    }
    return false;
}

void setWhy(QString* why, const QString& text) {
    if (why)
        *why = text;
}

bool isWholeVersion(const VersionReply& reply) {
    const QString date = reply.text.right(6);
    return reply.modelName.trimmed().size() == 4 &&
           std::all_of(date.begin(), date.end(), [](QChar c) { return c.isDigit(); });
}

marks::MarkReader readerFor(int number) {
    return number == 0 ? marks::MarkReader::Current : marks::MarkReader::ByNumber;
}

// A whole mark reply as a mark file; nothing, with the reason, for what a file cannot keep.
std::optional<QByteArray> markFileOf(const QByteArray& reply, int number, QString* why,
                                     QStringList* unknownCodes) {
    const marks::RecordProblems problems = marks::checkMarkRecords(reply);
    if (problems.notAMark()) {
        *why = QStringLiteral("не марка: ") + marks::recordProblemsText(problems);
        return std::nullopt;
    }
    if (unknownCodes)
        *unknownCodes = problems.unknownCode;
    marks::MarkRows rows = marks::initialRows();
    marks::decodeMarkData(reply, readerFor(number), rows);
    // A mark file holds a fragment per line: such a text would come back cut.
    if (const QStringList breaks = marks::checkTexts(rows, false).lineBreaks; !breaks.isEmpty()) {
        *why = QStringLiteral("перевод строки в тексте фрагментов %1, в файл марки не записать")
                   .arg(breaks.join(QStringLiteral(", ")));
        return std::nullopt;
    }
    return marks::encodeMarkFile(rows);
}

std::optional<QByteArray> readMap(Session& s, std::optional<QByteArray> (*fetch)(Session&),
                                  int places, QString* why) {
    std::optional<QByteArray> map;
    const bool whole = untilWhole(s, [&] {
        map = fetch(s);
        if (!map)
            return Attempt::Failed;
        if (lineStillTalking(s)) {
            setWhy(why, kStillTalking);
            return Attempt::Again;
        }
        setWhy(why, {});
        const QByteArray head = map->left(places);
        return head.count('Y') + head.count('N') == places ? Attempt::Whole : Attempt::Again;
    });
    if (whole)
        return map;
    if (map && why && why->isEmpty())
        *why = kIncomplete;
    return std::nullopt;
}

// A read-out whose tail is still coming is asked again. Nothing when the request failed, or when
// the line never fell quiet after it (`*talking`).
template <typename Fetch>
auto fetchWhileQuiet(Session& s, Fetch fetch, bool* talking) -> decltype(fetch()) {
    decltype(fetch()) reply;
    const bool quiet = untilWhole(s, [&] {
        reply = fetch();
        if (!reply)
            return Attempt::Failed;
        return lineStillTalking(s) ? Attempt::Again : Attempt::Whole;
    });
    *talking = reply && !quiet;
    return quiet ? reply : decltype(fetch()){};
}

// "Марка 05: ответ неполный"; the item alone when there is no reason to give.
QString item(const QString& label, const QString& why) {
    return why.isEmpty() ? label : label + QStringLiteral(": ") + why;
}

// The steps of readPrinterMemory(); each false when the read ends there, stopped or failed.
class MemoryReader {
public:
    MemoryReader(Session& s, SeriesSteps& steps) : s_(s), steps_(steps) {}

    bool version() {
        steps_.setTotal(3);
        if (!begin(QStringLiteral("версия")))
            return false;
        version_ = readWholeVersion(s_, &why_);
        if (!version_)
            return fail(item(QStringLiteral("версия"), why_));
        memory_.model = version_->modelName;
        memory_.version = version_->text.mid(1);
        return true;
    }

    bool maps(bool withReadouts) {
        if (!begin(QStringLiteral("карта марок")))
            return false;
        const auto markMap = readMarkMap(s_, &why_);
        if (!markMap)
            return fail(item(QStringLiteral("карта области текстовых марок"), why_));
        if (!begin(QStringLiteral("карта логотипов")))
            return false;
        const auto logoMap = readLogoMap(s_, &why_);
        if (!logoMap)
            return fail(item(QStringLiteral("карта графической области"), why_));
        markNumbers_ = occupiedNumbers(*markMap, 1, kMarkPlaces);
        slotNumbers_ = occupiedNumbers(*logoMap, 0, kLogoSlots);
        steps_.setTotal(3 + 1 + int(markNumbers_.size()) + int(slotNumbers_.size()) +
                        (withReadouts ? 4 : 0));
        return true;
    }

    // Mark 00 when it holds one, then every place the map calls occupied, even one whose first
    // fragment is blank.
    bool marks() {
        if (!readMark(0))
            return false;
        for (int n : markNumbers_) {
            if (!readMark(n))
                return false;
        }
        return true;
    }

    bool logos() {
        for (int n : slotNumbers_) {
            if (!begin(slotLabel(n)))
                return false;
            const auto file = readSlotFile(s_, n, &why_);
            if (!file)
                return fail(item(slotLabel(n), why_));
            memory_.logos[n] = *file;
        }
        return true;
    }

    bool readouts() {
        QStringList texts{versionMessage(*version_)};
        const auto settings = readout(QStringLiteral("уставки системы печати"),
                                      [&] { return device::printSystemSettingsReadout(s_); });
        if (!settings)
            return false;
        texts.append(*settings);
        const auto mode = readout(QStringLiteral("уставки режима печати"),
                                  [&] { return device::printModeReadout(s_); });
        if (!mode)
            return false;
        texts.append(*mode);
        for (const auto counter : {device::Counter::RunningHours, device::Counter::PrintedMarks}) {
            const auto reply = readout(counter == device::Counter::RunningHours
                                           ? QStringLiteral("время работы")
                                           : QStringLiteral("число отпечатанных марок"),
                                       [&] { return device::fetchCounter(s_, counter); });
            if (!reply)
                return false;
            texts.append(device::counterSentence(*reply, counter));
        }
        memory_.readouts = texts.join(QStringLiteral("\r\n\n")) + QStringLiteral("\r\n");
        return true;
    }

    // Once at the end, long enough for a flood that comes in a USB adapter's packets.
    bool lineFellQuiet() {
        constexpr int kFinalListenMs = 50;
        return !lineStillTalking(s_, kFinalListenMs) || fail(kStillTalking);
    }

    MemoryRead result(bool whole) {
        if (whole)
            out_.memory = memory_;
        return out_;
    }

private:
    bool begin(const QString& label) {
        out_.stopped = !steps_.begin(label);
        return !out_.stopped;
    }
    bool fail(const QString& failedItem) {
        out_.failedItem = failedItem;
        return false;
    }

    bool readMark(int n) {
        if (!begin(markLabel(n)))
            return false;
        bool empty = false;
        QStringList unknownCodes;
        const auto file = readMarkFile(s_, n, &empty, &why_, &unknownCodes);
        if (!file)
            return fail(item(markLabel(n), why_));
        if (n == 0 && empty)
            return true;
        memory_.marks[n] = *file;
        if (!unknownCodes.isEmpty())
            out_.unknownCodes.append(markLabel(n) + QStringLiteral(": фрагменты ") +
                                     unknownCodes.join(QStringLiteral(", ")));
        return true;
    }

    template <typename Fetch> auto readout(const QString& label, Fetch fetch) -> decltype(fetch()) {
        if (!begin(label))
            return {};
        bool talking = false;
        auto reply = fetchWhileQuiet(s_, fetch, &talking);
        if (!reply)
            fail(item(label, talking ? kStillTalking : QString()));
        return reply;
    }

    Session& s_;
    SeriesSteps& steps_;
    MemoryRead out_;
    PrinterMemory memory_;
    std::optional<VersionReply> version_;
    std::set<int> markNumbers_;
    std::set<int> slotNumbers_;
    QString why_;
};

} // namespace

QString readFailedReason() {
    return QStringLiteral("ошибка чтения");
}

std::set<int> occupiedNumbers(const QByteArray& map, int first, int count) {
    const QList<int> places = device::occupiedPlaces(map, first, count);
    return {places.begin(), places.end()};
}

std::optional<VersionReply> readWholeVersion(Session& s, QString* why) {
    std::optional<VersionReply> reply;
    bool talking = false;
    const bool whole = untilWhole(s, [&] {
        reply = fetchVersion(s);
        if (!reply)
            return Attempt::Failed;
        // A reply cut by a pause of a loaded line has its tail still coming.
        talking = lineStillTalking(s);
        return !talking && isWholeVersion(*reply) ? Attempt::Whole : Attempt::Again;
    });
    if (whole)
        return reply;
    if (!reply)
        return std::nullopt;
    if (talking)
        setWhy(why, kStillTalking);
    else
        reportReadError(s);
    return std::nullopt;
}

std::optional<QByteArray> readMarkMap(Session& s, QString* why) {
    return readMap(s, device::fetchTextMarkMap, kMarkPlaces, why);
}

std::optional<QByteArray> readLogoMap(Session& s, QString* why) {
    return readMap(s, device::fetchGraphicMap, kLogoSlots, why);
}

std::optional<QByteArray> readMarkFile(Session& s, int number, bool* empty, QString* why,
                                       QStringList* unknownCodes) {
    std::optional<QByteArray> file;
    untilWhole(s, [&] {
        qint64 received = 0;
        const auto reply = marks::fetchMarkReply(s, number, readerFor(number), &received);
        if (!reply) {
            *why = readFailedReason();
            return Attempt::Failed;
        }
        if (received > marks::kMarkDataSize || lineStillTalking(s)) {
            *why = kStillTalking;
            return Attempt::Again;
        }
        *empty = marks::isEmptyMarkReply(*reply);
        // An empty place may answer with less than a whole mark.
        if (received < marks::kMarkDataSize && !*empty) {
            *why = kIncomplete;
            return Attempt::Again;
        }
        file = markFileOf(*reply, number, why, unknownCodes);
        return file ? Attempt::Whole : Attempt::Failed;
    });
    return file;
}

std::optional<QByteArray> readSlotFile(Session& s, int slot, QString* why) {
    std::optional<QByteArray> file;
    untilWhole(s, [&] {
        const auto read = logos::fetchLogoSlot(s, slot);
        if (!read) {
            *why = readFailedReason();
            return Attempt::Failed;
        }
        if (read->overrun || lineStillTalking(s)) {
            *why = kStillTalking;
            return Attempt::Again;
        }
        if (read->state == logos::SlotRead::Data &&
            read->reply.size() >= 3 + qint64(read->width) * read->byteRows) {
            file = read->binFile();
            return Attempt::Whole;
        }
        // Only slots the map calls occupied are read: silence or a bad header is a fault.
        *why = read->state == logos::SlotRead::Empty ? QStringLiteral("ячейка не ответила")
               : read->state == logos::SlotRead::Data ? kIncomplete
                                                      : QStringLiteral("неверный формат");
        return Attempt::Again;
    });
    return file;
}

MemoryRead readPrinterMemory(Session& s, SeriesSteps& steps, bool withReadouts) {
    MemoryReader read(s, steps);
    const bool whole = read.version() && read.maps(withReadouts) && read.marks() && read.logos() &&
                       (!withReadouts || read.readouts()) && read.lineFellQuiet();
    return read.result(whole);
}

} // namespace service
