#pragma once

#include "link/session.h"

// "Чтение Логотипа из Маркиратора": a printer slot (0..255) becomes the logo and the file
// "logoNNN.bin" in the working directory.
void readLogoSlot(printerlink::Session& s);
// "Записать Логотип в Маркиратор": the logo into a slot (0..127), split first when too wide.
void writeLogoSlot(printerlink::Session& s);
// "Удалить Логотип..": a slot (0..127) is overwritten with zeros after a confirmation.
void deleteLogoSlot(printerlink::Session& s);
