#pragma once

#include "link/session.h"

#include <QString>

// The ГРАФИКА menu's file commands and the loaders other commands share.
namespace logos {

// "Создать Новый Логотип": offers to save a modified logo, asks height and width.
void newLogo(printerlink::Session& s);
// "Открыть Файл Логотипа": offers to save a modified logo to its own file, then loads a BMP,
// BIN or PBM file chosen in the open dialog.
void openLogoFile(printerlink::Session& s);
// "Сохранить Логотип как..": BIN (split into parts when wider than a slot) or BMP.
void saveLogoAs(printerlink::Session& s);

// Loads a BIN (extension "bin") or PBM file into the logo bitmap and makes it the current
// logo file. A relative name is taken in the working directory. On a refused or unreadable
// file the message is shown and false returned; the logo and the current file stay as they
// were. Sets no status field.
bool loadPackedLogoFile(printerlink::Session& s, const QString& name, const QString& extension);
// The same for a BMP file (at most 32 rows, colours kept).
bool loadBmpLogoFile(printerlink::Session& s, const QString& name);

// A file name as the commands use it: relative names live in the working directory.
QString resolveLogoPath(const printerlink::Session& s, const QString& name);
// Graphic status fields 0 (" Файл: " + name, or its last 48 characters) and 2
// ("Размер XY: " + X + "x" + Y) after a picture was opened.
void showOpenedPictureStatus(printerlink::Session& s, const QString& name);

} // namespace logos
