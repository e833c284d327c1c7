// SPDX-License-Identifier: GPL-3.0-or-later
#include "logos/logo_file_commands.h"

#include "logos/logo_document.h"
#include "logos/picture_files.h"
#include "logos/picture_split.h"
#include "logos/split_plan.h"
#include "platform/number_text.h"

#include <QFileInfo>

using namespace platform;
using namespace printerlink;

namespace logos {

namespace {

const QString InfoTitle = QStringLiteral("Информация");
constexpr int MaxBinParts = 12;
constexpr int MaxBinWidth = 255; // the width byte

QString sizeStatus(const LogoDocument& logo) {
    return QStringLiteral("Размер XY: %1x%2").arg(logo.width()).arg(logo.height());
}

bool askYesNo(Session& s, const QString& title, const QString& text, MessageIcon icon) {
    return s.dialogs.messageBox(title, text, icon, MessageButtons::YesNo) == MessageAnswer::Yes;
}

// The current logo in the layout its extension names; "" or the message to show.
QString writeLogoAs(Session& s, const QString& path, const QString& extension) {
    LogoDocument& logo = *s.logo;
    const int rows = logo.byteRows();
    if (extension == QLatin1String("bmp"))
        return writeBmp(path, logo.logoPicture());
    if (extension == QLatin1String("bin")) {
        if (logo.width() > MaxBinWidth)
            return horizontalSizeText();
        return writeFileAtomically(path,
                                   encodeBin(logo.width(), rows, logo.packColumns(0, logo.width()),
                                             rows * logo.width() + 4));
    }
    if (extension == QLatin1String("pbm")) {
        if (logo.width() > MaxPbmWidth)
            return horizontalSizeText();
        return writeFileAtomically(
            path, encodePbm(logo.width(), rows, logo.packColumns(0, logo.width())));
    }
    return unwritableTypeText(extension);
}

// The files a save would replace, asked about together; true when there are none or the
// operator agrees.
bool mayOverwrite(Session& s, const QStringList& paths) {
    QStringList existing;
    for (const QString& path : paths)
        if (QFileInfo(path).isFile())
            existing << QFileInfo(path).fileName();
    if (existing.isEmpty())
        return true;
    QString text;
    if (existing.size() == 1) {
        text = QStringLiteral("Файл '") + existing.first() +
               QStringLiteral("' уже существует. Перезаписать?");
    } else {
        text = QStringLiteral("Файлы уже существуют:\n\r");
        for (const QString& name : existing)
            text += QStringLiteral("-  ") + name + QStringLiteral("\n\r");
        text += QStringLiteral("Перезаписать?");
    }
    return s.dialogs.messageBox(QStringLiteral("ПРЕДУПРЕЖДЕНИЕ"), text, MessageIcon::Warning,
                                MessageButtons::YesNo) == MessageAnswer::Yes;
}

QString savedStatus(const QString& name) {
    constexpr int shown = 45;
    return name.size() <= shown ? QStringLiteral("Файл: ") + name
                                : QStringLiteral("Файл: ..") + name.right(shown);
}

} // namespace

QString resolveLogoPath(const Session& s, const QString& name) {
    return QFileInfo(name).isAbsolute() ? name : s.workDir.filePath(name);
}

void showOpenedPictureStatus(Session& s, const QString& name) {
    constexpr int shown = 48;
    s.status.setField(GraphicField::File, name.size() < shown
                                              ? QStringLiteral(" Файл: ") + name
                                              : QStringLiteral(" Файл: ..") + name.right(shown));
    s.status.setField(GraphicField::Size, sizeStatus(*s.logo));
}

bool loadPackedLogoFile(Session& s, const QString& name, const QString& extension) {
    const QString path = resolveLogoPath(s, name);
    QString error;
    const QByteArray bytes = readFileStart(path, PackedFileReadLimit, &error);
    if (!error.isEmpty()) {
        s.dialogs.error(error);
        return false;
    }
    const bool bin = extension.toLower() == QLatin1String("bin");
    const PackedDecode decoded = bin ? decodeBin(bytes) : decodePbm(bytes);
    if (!decoded.ok()) {
        s.dialogs.error(decoded.error);
        return false;
    }
    s.logo->drawPackedLogo(decoded.picture.columns, decoded.picture.width,
                           decoded.picture.byteRows);
    s.logo->setCurrentFile(name, extension);
    return true;
}

bool loadBmpLogoFile(Session& s, const QString& name) {
    const BmpRead read = readBmp(resolveLogoPath(s, name));
    if (!read.error.isEmpty()) {
        s.dialogs.error(read.error);
        return false;
    }
    if (read.picture.height() > MaxLogoHeight) {
        s.dialogs.error(tooTallBmpText(read.picture.height()));
        return false;
    }
    s.logo->loadPicture(read.picture);
    s.logo->setCurrentFile(name, QStringLiteral("bmp"));
    return true;
}

bool offerSaveBeforeReplacing(Session& s) {
    LogoDocument& logo = *s.logo;
    if (!logo.isModified())
        return true;
    const QString target = logo.hasCurrentFile() ? resolveLogoPath(s, logo.currentFile())
                                                 : QStringLiteral("без имени");
    const MessageAnswer answer = s.dialogs.messageBox(
        InfoTitle,
        QStringLiteral("Содержание Логотипа изменено. Сохранить Изменения?\n\rФайл: ") + target,
        MessageIcon::Warning, MessageButtons::YesNoCancel);
    if (answer == MessageAnswer::No)
        return true;
    if (answer != MessageAnswer::Yes)
        return false;
    if (!logo.hasCurrentFile())
        return saveLogoToChosenFile(s);
    const QString error =
        writeLogoAs(s, resolveLogoPath(s, logo.currentFile()), logo.currentExtension());
    if (!error.isEmpty()) {
        s.dialogs.error(error);
        return false;
    }
    logo.markSaved();
    return true;
}

void newLogo(Session& s) {
    if (!offerSaveBeforeReplacing(s))
        return;
    const QString title = QStringLiteral("СОЗДАНИЕ НОВОГО ЛОГОТИПА");
    const qint64 typedHeight = readDecimal(s.dialogs.inputRequester(
        title, QStringLiteral("Введите размер 'Y' в точках (8...32)"), QStringLiteral("32")));
    int height = 32;
    int widthLimit = 63;
    if (typedHeight < 9) {
        height = 8;
        widthLimit = 250;
    } else if (typedHeight <= 16) {
        height = 16;
        widthLimit = 126;
    } else if (typedHeight <= 24) {
        height = 24;
        widthLimit = 83;
    }
    const QString widthAnswer = s.dialogs.inputRequester(
        title, QStringLiteral("Введите размер 'X' в точках (1...%1)").arg(widthLimit),
        QStringLiteral("63"));
    if (widthAnswer.isEmpty())
        return;
    const qint64 width = std::min<qint64>(readDecimal(widthAnswer), widthLimit);
    if (width < 1) {
        s.dialogs.error(QStringLiteral("Размер 'X' должен быть не менее 1 точки!"));
        return;
    }
    // A new drawing has no file yet, so no later save can land on the old logo's file.
    s.logo->newLogo(int(width), height);
}

void openLogoFile(Session& s) {
    if (!offerSaveBeforeReplacing(s))
        return;
    LogoDocument& logo = *s.logo;
    for (;;) {
        const QString name = s.dialogs.openFile(
            QStringLiteral("Открыть Файл Логотипа"), QString(),
            QStringLiteral("Графика (*bmp,*bin,*pbm)|*.bmp;*.bin;*.pbm|BMP-файлы (*.bmp)|*.bmp|"
                           "Логотипы (*.bin,*.pbm)|*.bin;*.pbm"));
        if (name.isEmpty())
            return;
        const QString suffix = QFileInfo(name).suffix();
        const QString extension = suffix.isEmpty() ? QStringLiteral("bin") : suffix.toLower();
        if (extension == QLatin1String("bmp")) {
            loadBmpLogoFile(s, name);
        } else if (extension == QLatin1String("bin") || extension == QLatin1String("pbm")) {
            loadPackedLogoFile(s, name, extension);
        } else if (askYesNo(s, InfoTitle,
                            QStringLiteral("Файл типа '") + suffix +
                                QStringLiteral(" открыть невозможно.\n\r Выбрать другой файл?"),
                            MessageIcon::Warning)) {
            continue;
        }
        break;
    }
    if (logo.hasCurrentFile())
        showOpenedPictureStatus(s, logo.currentFile());
    else
        s.status.setField(GraphicField::Size, sizeStatus(logo));
}

bool saveLogoToChosenFile(Session& s) {
    LogoDocument& logo = *s.logo;
    QString proposed = logo.currentFile();
    if (proposed.isEmpty()) {
        if (!logo.isModified()) {
            s.dialogs.messageBox(QStringLiteral("ПУСТОЙ ЛОГОТИП"),
                                 QStringLiteral("Извините, но сохранять пока нечего!"),
                                 MessageIcon::None, MessageButtons::Ok);
            return false;
        }
        proposed = QStringLiteral("logo.bmp");
    }
    // The dialog cannot know the name finally written (".bmp" added, split parts): we ask.
    QString name =
        s.dialogs.saveFile(QStringLiteral("Сохранить Файл Логотипа как..."), proposed,
                           QStringLiteral("Файлы Логотипов (*.bin)|*.bin|BMP-файлы (*.bmp)|*.bmp|"
                                          "ВМР-файлы и Логотипы (*.bmp,*bin)|*.bmp;*.bin"),
                           Dialogs::OverwriteCheck::ByCaller);
    if (name.isEmpty())
        return false;
    QString extension = QFileInfo(name).suffix().toLower();
    if (QFileInfo(name).suffix().isEmpty()) {
        name += QStringLiteral(".bmp");
        extension = QStringLiteral("bmp");
    }
    const QString path = resolveLogoPath(s, name);
    if (extension != QLatin1String("bin") && extension != QLatin1String("bmp")) {
        s.dialogs.error(unwritableTypeText(QFileInfo(name).suffix()));
        return false;
    }

    const int parts =
        extension == QLatin1String("bin") ? binPartCount(logo.width(), logo.byteRows()) : 1;
    if (parts > MaxBinParts) {
        s.dialogs.messageBox(QStringLiteral("ОШИБКА"),
                             QStringLiteral("ПРЕВЫШЕНИЕ РАЗУМНОЙ ДЛИНЫ МАРКИ -\n\r"
                                            "РИСУНОК ЗАЙМЕТ БОЛЕЕ 12 ЛОГОТИПОВ!"),
                             MessageIcon::None, MessageButtons::Ok);
        return false;
    }
    QStringList targets;
    if (parts <= 1)
        targets << path;
    for (int k = 1; parts > 1 && k <= parts; ++k)
        targets << binPartPath(path, k);
    if (!mayOverwrite(s, targets))
        return false;

    if (parts <= 1) {
        const QString error = writeLogoAs(s, path, extension);
        if (!error.isEmpty()) {
            s.dialogs.error(error);
            return false;
        }
        logo.setCurrentFile(name, extension);
    } else {
        const BinSplit split = splitIntoBinFiles(s, name, parts);
        if (split == BinSplit::Failed)
            return false;
        if (split == BinSplit::Written)
            logo.setCurrentFile(name, extension);
    }
    s.status.setField(GraphicField::File, savedStatus(name));
    logo.markSaved();
    return true;
}

void saveLogoAs(Session& s) {
    saveLogoToChosenFile(s);
}

} // namespace logos
