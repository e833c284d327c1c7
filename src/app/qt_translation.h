// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QCoreApplication;

namespace app {

// Qt's own texts (file dialogs, standard buttons, context menus) in Russian, from Qt's
// translations folder. False when the translation is not installed: they stay in English.
bool loadQtTranslation(QCoreApplication& application);

} // namespace app
