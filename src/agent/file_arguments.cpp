// SPDX-License-Identifier: GPL-3.0-or-later
#include "agent/file_arguments.h"

#include "agent/agent_config.h"
#include "platform/codepage.h"
#include "platform/file_access.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace printerlink;

namespace agent {

namespace {

// A text file as the program's own are (a mark file holds the function codes below 0x20 in
// its lines, but never a zero byte); pictures and logos are not.
bool looksLikeText(const QByteArray& bytes) {
    return !bytes.contains('\0');
}

// A plain file name: no folders, nothing hidden.
bool isPlainName(const QString& name) {
    return isTopicName(name) && !name.startsWith(QLatin1Char('.'));
}

} // namespace

FileArguments::FileArguments(const operations::Operation& op, const QString& backupDir)
    : op_(op), backupDir_(backupDir) {}

Result<QJsonObject> FileArguments::prepare(const QJsonObject& args) {
    QJsonObject out = args;
    for (const operations::Argument& a : op_.arguments) {
        const QJsonValue v = args.value(a.name);
        if (a.type == operations::ArgType::Folder) {
            if (v.isUndefined())
                continue;
            if (!v.isString() || !isPlainName(v.toString()))
                return badInput(
                    QStringLiteral("'%1' - имя папки (латинские буквы, цифры, '-', '_', '.')")
                        .arg(a.name));
            if (backupDir_.isEmpty())
                return refusal(QStringLiteral("у агента не задана папка резервных копий "
                                              "(operations/backup_dir)"));
            out.insert(a.name, QDir(backupDir_).filePath(v.toString()));
            continue;
        }
        if (a.type != operations::ArgType::File)
            continue;
        if (!scratch_)
            scratch_.emplace();
        if (!scratch_->isValid())
            return fileFailure(QStringLiteral("временная папка агента не создана"));
        const QJsonObject o = v.toObject();
        // "FILE.mrt" names the kind of file an operation expects; the command may name its own.
        const QString usual = a.metavar.contains(QLatin1Char('.')) && !a.metavar.contains('|')
                                  ? a.metavar.toLower()
                                  : a.name;
        const QString name = o.value(QLatin1String("name")).toString(usual);
        if (!isPlainName(name))
            return badInput(QStringLiteral("'%1' - имя файла без папок").arg(a.name));
        const QString path = QDir(scratch_->path()).filePath(name);
        QByteArray bytes;
        bool given = true;
        if (v.isString()) {
            bytes = platform::toCp1251(v.toString());
        } else if (o.contains(QLatin1String("text"))) {
            bytes = platform::toCp1251(o.value(QLatin1String("text")).toString());
        } else if (o.contains(QLatin1String("base64"))) {
            const auto decoded = QByteArray::fromBase64Encoding(
                o.value(QLatin1String("base64")).toString().toLatin1(),
                QByteArray::AbortOnBase64DecodingErrors);
            if (!decoded)
                return badInput(QStringLiteral("'%1': base64 испорчен").arg(a.name));
            bytes = *decoded;
        } else if (v.isUndefined() || v.isNull() || v.isObject()) {
            given = false;
        } else {
            return badInput(QStringLiteral("'%1' - текст файла или {\"base64\": ...}").arg(a.name));
        }
        if (given) {
            QString why;
            if (!platform::saveFileAtomically(path, bytes, &why))
                return fileFailure(
                    QStringLiteral("Файл '%1' записать невозможно: %2").arg(name, why));
        } else {
            outputs_.append({a.name, path});
        }
        out.insert(a.name, path);
    }
    return out;
}

void FileArguments::collect(QJsonObject& answer) const {
    if (outputs_.isEmpty())
        return;
    QJsonObject data = answer.value(QLatin1String("data")).toObject();
    for (const auto& [name, path] : outputs_) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QByteArray bytes = f.read(16 << 20);
        QJsonObject file{{QStringLiteral("name"), QFileInfo(path).fileName()},
                         {QStringLiteral("base64"), QString::fromLatin1(bytes.toBase64())}};
        if (looksLikeText(bytes))
            file.insert(QStringLiteral("text"), platform::fromCp1251(bytes));
        data.insert(name, file);
    }
    answer.insert(QStringLiteral("data"), data);
}

} // namespace agent
