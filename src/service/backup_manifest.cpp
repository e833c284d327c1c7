// SPDX-License-Identifier: GPL-3.0-or-later
#include "service/backup_manifest.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace service {

namespace {

QJsonArray numbers(const QList<int>& list) {
    QJsonArray out;
    for (int n : list)
        out.append(n);
    return out;
}

// Every entry a whole number within [0, last], no repeats.
std::optional<QList<int>> numberList(const QJsonValue& value, int last) {
    if (!value.isArray())
        return std::nullopt;
    QList<int> out;
    for (const QJsonValue& v : value.toArray()) {
        const double d = v.toDouble(-1);
        if (!v.isDouble() || d < 0 || d > last || d != int(d) || out.contains(int(d)))
            return std::nullopt;
        out.append(int(d));
    }
    return out;
}

} // namespace

QByteArray BackupManifest::toJson() const {
    QJsonObject files;
    for (auto it = sha256.cbegin(); it != sha256.cend(); ++it)
        files.insert(it.key(), QString::fromLatin1(it.value()));
    const QJsonObject root{
        {QStringLiteral("model"), model},
        {QStringLiteral("version"), version},
        {QStringLiteral("taken"), taken.toString(Qt::ISODate)},
        {QStringLiteral("durationMs"), double(durationMs)},
        {QStringLiteral("program"), program},
        {QStringLiteral("marks"), numbers(marks)},
        {QStringLiteral("logos"), numbers(logos)},
        {QStringLiteral("sha256"), files},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

std::optional<BackupManifest> BackupManifest::fromJson(const QByteArray& json, QString* error) {
    QJsonParseError parse;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parse);
    const auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return std::nullopt;
    };
    if (parse.error != QJsonParseError::NoError || !doc.isObject())
        return fail(QStringLiteral("файл описания не читается как JSON"));
    const QJsonObject root = doc.object();
    BackupManifest m;
    m.model = root.value(QStringLiteral("model")).toString();
    m.version = root.value(QStringLiteral("version")).toString();
    m.taken = QDateTime::fromString(root.value(QStringLiteral("taken")).toString(), Qt::ISODate);
    m.durationMs = qint64(root.value(QStringLiteral("durationMs")).toDouble());
    m.program = root.value(QStringLiteral("program")).toString();
    if (m.model.isEmpty())
        return fail(QStringLiteral("в файле описания нет модели"));
    const auto marks = numberList(root.value(QStringLiteral("marks")), 85);
    const auto logos = numberList(root.value(QStringLiteral("logos")), 127);
    if (!marks || !logos)
        return fail(QStringLiteral("в файле описания неверный список марок или логотипов"));
    m.marks = *marks;
    m.logos = *logos;
    const QJsonObject files = root.value(QStringLiteral("sha256")).toObject();
    for (auto it = files.constBegin(); it != files.constEnd(); ++it)
        m.sha256.insert(it.key(), it.value().toString().toLatin1());
    return m;
}

QString markFilePath(int number) {
    return QStringLiteral("marks/%1.mrt").arg(number, 2, 10, QLatin1Char('0'));
}

QString logoFilePath(int slot) {
    return QStringLiteral("logos/%1.bin").arg(slot, 3, 10, QLatin1Char('0'));
}

QString readoutsFilePath() {
    return QStringLiteral("readouts.txt");
}

QString manifestFilePath() {
    return QStringLiteral("manifest.json");
}

QString backupFolderName(const QString& model, const QDateTime& taken) {
    return QStringLiteral("backup-") + model + QLatin1Char('-') +
           taken.toString(QStringLiteral("yyyyMMdd-hhmmss"));
}

QByteArray sha256Hex(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

} // namespace service
