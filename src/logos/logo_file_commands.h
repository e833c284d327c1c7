// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/session.h"

#include <QString>

// The ГРАФИКА menu's file commands and the loaders other commands share.
namespace logos {

// Every command that replaces the logo calls this first. Unsaved changes are offered for
// saving (Да / Нет / Отмена), naming the file they would go to or "без имени" (then Да runs
// Save As). False: the command ends and nothing changes (Отмена, or the save failed or was
// cancelled).
bool offerSaveBeforeReplacing(printerlink::Session& s);

// "Создать Новый Логотип": asks height and width; the new logo has no file.
void newLogo(printerlink::Session& s);
// "Открыть Файл Логотипа": loads a BMP, BIN or PBM file chosen in the open dialog.
void openLogoFile(printerlink::Session& s);
// "Сохранить Логотип как..": BIN (split into parts when wider than a slot) or BMP, after asking
// about every existing file it would replace. True when the logo was saved.
bool saveLogoToChosenFile(printerlink::Session& s);
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
