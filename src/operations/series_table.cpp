// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/series_table.h"

#include "operations/operation_parts.h"

#include "link/operation_scope.h"
#include "platform/plain_text.h"
#include "service/logo_parts.h"
#include "service/printer_memory.h"
#include "service/series_operations.h"

#include <QJsonArray>

using namespace printerlink;
using platform::plainText;

namespace operations {

namespace {

// The shell's status for a series the user stopped (Ctrl+C).
constexpr int kInterrupted = 130;

QJsonObject reportJson(const service::ServiceReport& report) {
    QJsonObject json;
    if (!report.folder.isEmpty())
        json.insert(QStringLiteral("folder"), report.folder);
    json.insert(QStringLiteral("marks"), jsonNumbers(report.marks));
    json.insert(QStringLiteral("logos"), jsonNumbers(report.logos));
    if (!report.clearedLogos.isEmpty())
        json.insert(QStringLiteral("cleared"), jsonNumbers(report.clearedLogos));
    if (!report.failed.isEmpty())
        json.insert(QStringLiteral("failed"), QJsonArray::fromStringList(report.failed));
    if (!report.notWritten.isEmpty())
        json.insert(QStringLiteral("not_written"), QJsonArray::fromStringList(report.notWritten));
    return json;
}

// What a series came to, with the window's closing box as its note or its failure. The link's
// own failure, kept by `scope` where the window shows it in a box of its own, goes first.
Outcome outcomeOf(const service::ServiceReport& report, const OperationScope& scope) {
    Outcome o;
    o.json = reportJson(report);
    if (scope.failed())
        o.notes.append(plainText(scope.failure().text));
    const service::SeriesMessage& m = report.message;
    if (report.outcome == service::Outcome::Done) {
        if (!m.text.isEmpty())
            o.notes.append(m.title + QStringLiteral(": ") + plainText(m.text));
        return o;
    }
    FailureKind kind = FailureKind::Link;
    switch (report.outcome) {
    case service::Outcome::FileError:
        kind = FailureKind::File;
        break;
    case service::Outcome::NotConfirmed:
        kind = FailureKind::BadInput;
        break;
    case service::Outcome::Stopped:
        kind = FailureKind::Refused;
        o.exitStatus = kInterrupted;
        break;
    default:
        break;
    }
    if (m.text.isEmpty() && scope.failed()) {
        o.notes.removeLast();
        o.failure = scope.failure();
        return o;
    }
    Failure f = failureOf(kind, m.text);
    f.title = m.title;
    f.icon = m.icon;
    o.failure = f;
    return o;
}

// Said as a line of its own, not as a box of the window.
Outcome refused(const QString& text, FailureKind kind = FailureKind::BadInput) {
    Outcome o;
    o.failure = argumentRefusal(text);
    o.failure->kind = kind;
    return o;
}

Outcome backup(Session& s, const Arguments& args) {
    const OperationScope scope(s);
    return outcomeOf(service::takeBackup(s, args.text(QStringLiteral("folder"))), scope);
}

Outcome compare(Session& s, const Arguments& args) {
    const OperationScope scope(s);
    const service::ServiceReport report =
        service::compareBackup(s, args.text(QStringLiteral("folder")));
    Outcome o = outcomeOf(report, scope);
    o.json.remove(QStringLiteral("marks"));
    o.json.remove(QStringLiteral("logos"));
    o.json.insert(QStringLiteral("differences"), QJsonArray::fromStringList(report.differences));
    if (o.ok()) {
        o.text = report.differences.join(QLatin1Char('\n'));
        // A script tests the status: 0 only when nothing differs.
        if (!report.differences.isEmpty())
            o.exitStatus = 4;
    }
    return o;
}

// The questions the window asks are answered by the arguments: --yes confirms the summary only,
// writing another model's memory is a choice of its own.
Outcome restore(Session& s, const Arguments& args) {
    const OperationScope scope(s);
    service::ServiceReport refusal;
    const auto plan = service::planRestore(s, args.text(QStringLiteral("folder")), refusal);
    if (!plan)
        return outcomeOf(refusal, scope);
    if (plan->otherModel() && !args.flag(QStringLiteral("other-model")))
        return refused(QStringLiteral("копия снята с Маркиратора %1, а подключён %2: копия "
                                      "другой модели не записана (добавьте --other-model)")
                           .arg(plan->backup.manifest.model, plan->printerModel));
    if (!args.flag(QStringLiteral("yes"))) {
        Outcome o = refused(QStringLiteral("восстановление не подтверждено (добавьте --yes)"));
        o.notes.append(plainText(plan->summary()).trimmed());
        return o;
    }
    return outcomeOf(service::restoreBackup(s, *plan, args.flag(QStringLiteral("with-current"))),
                     scope);
}

Outcome writeParts(Session& s, const Arguments& args) {
    const int first = args.integer(QStringLiteral("slot"));
    const OperationScope scope(s);
    const service::LogoParts parts = service::readLogoParts(args.text(QStringLiteral("file")));
    if (!parts.ok())
        return refused(plainText(parts.error),
                       parts.unreadable ? FailureKind::File : FailureKind::BadInput);
    if (first + parts.files.size() > service::kLogoSlots)
        return refused(QStringLiteral("частей %1: последняя ячейка %2 больше %3")
                           .arg(parts.files.size())
                           .arg(first + parts.files.size() - 1)
                           .arg(service::kLogoSlots - 1));
    const service::ServiceReport report =
        service::writeSlotSeries(s, QStringLiteral("Запись частей рисунка"), parts.inSlots(first));
    Outcome o;
    o.json = reportJson(report);
    if (scope.failed())
        o.notes.append(plainText(scope.failure().text));
    if (!report.notWritten.isEmpty())
        o.notes.append(QStringLiteral("Не записаны: ") +
                       report.notWritten.join(QStringLiteral(", ")));
    for (const QString& f : report.failed)
        o.notes.append(QStringLiteral("Не подтверждено: ") + f);
    switch (report.outcome) {
    case service::Outcome::Done:
        o.notes.append(QStringLiteral("Части рисунка записаны в ячейки %1..%2.")
                           .arg(report.logos.first(), 3, 10, QLatin1Char('0'))
                           .arg(report.logos.last(), 3, 10, QLatin1Char('0')));
        break;
    case service::Outcome::Stopped:
        o.failure =
            refused(QStringLiteral("запись частей рисунка остановлена"), FailureKind::Refused)
                .failure;
        o.exitStatus = kInterrupted;
        break;
    default:
        o.failure =
            refused(QStringLiteral("части рисунка записаны не все"), FailureKind::Link).failure;
        break;
    }
    return o;
}

} // namespace

QList<Operation> seriesOperations() {
    const Argument firstSlot =
        integer(QStringLiteral("slot"), 0, service::kLogoSlots - 1, QStringLiteral("номер ячейки"),
                QStringLiteral("ячейка первой части"));
    const Argument firstPart = path(QStringLiteral("file"), ArgType::File, QStringLiteral("FILE_1"),
                                    QStringLiteral("первая часть: name_1.bin или name_1.bmp"));
    return {
        {QStringLiteral("write-parts"),
         QStringLiteral("Записывает части разбитого рисунка (FILE_1 - первая часть, name_1.bin "
                        "или name_1.bmp; за ней name_2, ...) в ячейки SLOT, SLOT+1, ... и читает "
                        "каждую обратно. Все части проверяются до записи."),
         {firstSlot, firstPart},
         true,
         true,
         writeParts},
        {QStringLiteral("backup"),
         QStringLiteral("Резервная копия памяти Маркиратора в новую папку DIR: marks/NN.mrt, "
                        "logos/NNN.bin, readouts.txt, manifest.json. Папка появляется целиком "
                        "или не появляется вовсе."),
         {path(QStringLiteral("folder"), ArgType::Folder, QStringLiteral("DIR"),
               QStringLiteral("новая папка копии"))},
         true,
         false,
         backup},
        {QStringLiteral("restore"),
         QStringLiteral("Восстанавливает марки 01..85 и ячейки логотипов из копии DIR и читает "
                        "каждую обратно. Без --yes только показывает, что будет записано. "
                        "Копия другой модели записывается только с --other-model. "
                        "--with-current записывает и текущую марку 00. Копия с изменённым или "
                        "недостающим файлом отвергается целиком, до записи."),
         {path(QStringLiteral("folder"), ArgType::Folder, QStringLiteral("DIR"),
               QStringLiteral("папка копии")),
          flag(QStringLiteral("with-current"), QStringLiteral("записать и текущую марку 00")),
          flag(QStringLiteral("yes"), QStringLiteral("записать, а не только показать")),
          flag(QStringLiteral("other-model"), QStringLiteral("записать копию другой модели"))},
         true,
         true,
         restore},
        {QStringLiteral("compare"),
         QStringLiteral("Сравнивает Маркиратор с копией DIR, ничего не записывая. Код выхода 4, "
                        "если есть отличия."),
         {path(QStringLiteral("folder"), ArgType::Folder, QStringLiteral("DIR"),
               QStringLiteral("папка копии"))},
         true,
         false,
         compare},
    };
}

} // namespace operations
