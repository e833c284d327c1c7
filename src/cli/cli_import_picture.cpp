// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli_import_picture.h"

#include "cli/cli_commands.h"
#include "cli/cli_text.h"
#include "logos/column_packing.h"
#include "logos/logo_document.h"
#include "logos/picture_conversion.h"
#include "logos/picture_files.h"
#include "logos/picture_import.h"
#include "logos/picture_reading.h"

#include <QFileInfo>
#include <optional>

using namespace logos;

namespace cli {

namespace {

struct Request {
    QString in;
    QString out;
    ConversionOptions options;
};

std::optional<int> numberIn(const QString& text, int low, int high) {
    bool ok = false;
    const int n = text.toInt(&ok, 10);
    if (!ok || n < low || n > high)
        return std::nullopt;
    return n;
}

// The request, or the reason it is not one.
std::optional<Request> parse(const QStringList& args, QString* why) {
    Request r;
    QStringList files;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--invert")) {
            r.options.invert = true;
        } else if (a == QLatin1String("--trim")) {
            r.options.trim = true;
        } else if (a == QLatin1String("--height") || a == QLatin1String("--width")) {
            const bool height = a == QLatin1String("--height");
            const auto n = hasValue
                               ? numberIn(args[++i], 1, height ? MaxLogoHeight : MaxImportWidth)
                               : std::nullopt;
            if (!n) {
                *why =
                    height
                        ? QStringLiteral("--height: высота - от 1 до 32 точек")
                        : QStringLiteral("--width: ширина - от 1 до %1 точек").arg(MaxImportWidth);
                return std::nullopt;
            }
            (height ? r.options.height : r.options.width) = *n;
        } else if (a == QLatin1String("--threshold")) {
            const QString v = hasValue ? args[++i] : QString();
            if (v == QLatin1String("auto")) {
                r.options.threshold = AutomaticThreshold;
            } else if (const auto n = numberIn(v, 0, 255)) {
                r.options.threshold = *n;
            } else {
                *why = QStringLiteral("--threshold: auto или число от 0 до 255");
                return std::nullopt;
            }
        } else if (a == QLatin1String("--dither")) {
            const QString v = hasValue ? args[++i] : QString();
            if (v == QLatin1String("none")) {
                r.options.dithering = Dithering::None;
            } else if (v == QLatin1String("fs")) {
                r.options.dithering = Dithering::FloydSteinberg;
            } else if (v == QLatin1String("bayer")) {
                r.options.dithering = Dithering::Bayer;
            } else {
                *why = QStringLiteral("--dither: none, fs или bayer");
                return std::nullopt;
            }
        } else if (a == QLatin1String("--json")) {
            *why = QStringLiteral("--json ставится перед командой: inkwick-cli --json "
                                  "import-picture ...");
            return std::nullopt;
        } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            *why = QStringLiteral("import-picture: неизвестный параметр %1").arg(a);
            return std::nullopt;
        } else {
            files << a;
        }
    }
    if (files.size() != 2) {
        *why = QStringLiteral("использование: inkwick-cli ") + importPictureSynopsis();
        return std::nullopt;
    }
    r.in = files[0];
    r.out = files[1];
    return r;
}

// The file OUT names by its extension; "" or the reason it cannot be written.
QString encode(const QString& out, const QImage& dots, QByteArray* bytes) {
    const QString type = QFileInfo(out).suffix().toLower();
    const int width = dots.width(), height = dots.height();
    const int rows = byteRowsFor(height);
    if (type == QLatin1String("bin")) {
        if (width * rows > SlotBytes)
            return QStringLiteral("логотип %1x%2 не помещается в ячейку Маркиратора (%3 байт, "
                                  "допустимо не более 252): сохраните его в .pbm или .bmp "
                                  "или уменьшите --height")
                .arg(width)
                .arg(height)
                .arg(width * rows);
        *bytes = encodeBin(width, rows, packLogoColumns(dots, 0, width, height), rows * width + 4);
    } else if (type == QLatin1String("pbm")) {
        *bytes = encodePbm(width, rows, packLogoColumns(dots, 0, width, height));
    } else if (type != QLatin1String("bmp")) {
        return QStringLiteral("'%1': файл результата - .bin, .pbm или .bmp").arg(out);
    }
    return {};
}

} // namespace

QString importPictureSynopsis() {
    return QStringLiteral("import-picture IN OUT.bin|OUT.pbm|OUT.bmp [--height N] [--width N] "
                          "[--threshold auto|0..255] [--dither none|fs|bayer] [--invert] "
                          "[--trim]");
}

QString importPictureHelp() {
    return QStringLiteral(
        "Переводит рисунок (PNG, JPEG, GIF, BMP, TIFF, WebP, SVG) в точки логотипа, как "
        "'Импорт рисунка...' в окне: сжатие усреднением до высоты N точек (1..32, по умолчанию "
        "32; ширина по пропорциям или --width), порог автоматически (Отсу) или 0..255, "
        "растр Флойда-Стейнберга (fs) или Байера 4 x 4 (bayer). Прозрачное - белое; --trim "
        "убирает белые поля, --invert меняет точки и фон. Печатает размер и число точек. "
        "Маркиратор не нужен.");
}

int importPicture(const QStringList& args, QJsonObject& result, QString& text,
                  const std::function<void(const QString&)>& message) {
    QString why;
    const std::optional<Request> request = parse(args, &why);
    if (!request) {
        message(QStringLiteral("inkwick-cli: ") + why);
        return UsageError;
    }
    const PictureRead read = readPicture(request->in);
    if (!read.error.isEmpty()) {
        message(QStringLiteral("inkwick-cli: ") + plainText(read.error));
        return read.fileError ? FileError : UsageError;
    }
    const ConvertedPicture converted = convertPicture(read.picture, request->options);
    QByteArray bytes;
    why = encode(request->out, converted.dots, &bytes);
    if (!why.isEmpty()) {
        message(QStringLiteral("inkwick-cli: ") + why);
        return UsageError;
    }
    const QString error = bytes.isEmpty() ? writeBmp(request->out, converted.dots)
                                          : writeFileAtomically(request->out, bytes);
    if (!error.isEmpty()) {
        message(QStringLiteral("inkwick-cli: ") + plainText(error));
        return FileError;
    }
    const QSize size = converted.dots.size();
    result.insert(QStringLiteral("file"), request->out);
    result.insert(QStringLiteral("width"), size.width());
    result.insert(QStringLiteral("height"), size.height());
    result.insert(QStringLiteral("dots"), converted.dotCount);
    result.insert(QStringLiteral("threshold"), converted.threshold);
    text = QStringLiteral("%1: %2 x %3 точек, активных капель: %4")
               .arg(request->out)
               .arg(size.width())
               .arg(size.height())
               .arg(converted.dotCount);
    const QString split = splitNoticeText(size);
    if (!split.isEmpty())
        text += QLatin1Char('\n') + plainText(split);
    return Success;
}

} // namespace cli
