// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/console_text.h"

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#endif

namespace cli {

namespace {

#ifdef Q_OS_WIN
HANDLE consoleOf(std::FILE* f) {
    const intptr_t os = _get_osfhandle(_fileno(f));
    if (os == -1 || os == -2)
        return nullptr;
    const auto handle = reinterpret_cast<HANDLE>(os);
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) ? handle : nullptr;
}
#endif

} // namespace

void writeText(std::FILE* f, const QString& text) {
    if (text.isEmpty())
        return;
#ifdef Q_OS_WIN
    if (HANDLE console = consoleOf(f)) {
        std::fflush(f);
        const auto* chars = reinterpret_cast<const wchar_t*>(text.utf16());
        for (qsizetype done = 0; done < text.size();) {
            DWORD written = 0;
            const DWORD part = DWORD(qMin<qsizetype>(text.size() - done, 16384));
            if (!WriteConsoleW(console, chars + done, part, &written, nullptr) || written == 0)
                break;
            done += written;
        }
        return;
    }
#endif
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), f);
}

void prepareConsole() {
#ifdef Q_OS_WIN
    if (HANDLE console = consoleOf(stderr)) {
        DWORD mode = 0;
        if (GetConsoleMode(console, &mode))
            SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    }
#endif
}

} // namespace cli
