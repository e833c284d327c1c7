// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHashFunctions>

namespace app {

// Every command the menus and shortcuts run. The values are the program's own item numbering,
// which the help screens and the printer manuals refer to.
enum class CommandId {
    None = 0,
    // ФУНКЦИИ
    OpenPort = 2,
    ClosePort = 3,
    MarkWindow = 7,
    GraphicWindow = 8,
    Exit = 9,
    // МАРКА
    NewMark = 10,
    OpenMarkFile = 11,
    ReadCurrentMark = 12,
    SaveMark = 13,
    SaveMarkAs = 14,
    WriteMark = 15,
    WriteFragment = 17,
    ReadMark = 18,
    TextMarkArea = 19,
    // ГРАФИКА
    NewLogo = 20,
    OpenLogoFile = 21,
    SaveLogo = 22,
    SaveLogoAs = 23,
    GraphicArea = 24,
    ReadLogo = 25,
    WriteLogo = 26,
    WriteGraphicMark = 27,
    MarkBitmap = 28,
    DeleteLogo = 29,
    ImportPicture = 80, // ГРАФИКА, after the numbering of the first release was full
    // РедакторГрафики
    LogoWidth = 30,
    LogoHeight = 31,
    InvertLogo = 32,
    UndoLogo = 33,
    ClearLogo = 34,
    CountDots = 35,
    // Помощь
    HelpAbout = 40,
    HelpConnection = 41,
    HelpFormats = 42,
    HelpShortcuts = 43,
    // Настройки Маркиратора
    SetClock = 50,
    SetDateOffset = 51,
    SetPrintLines = 52,
    PrintModeInfo = 53,
    Version = 54,
    PrintSystemInfo = 55,
    ReadFragment = 56,
    RunningHours = 60,
    PrintedMarks = 61,
    // СЕРВИС
    ProtocolLog = 70,
    Backup = 71,
    Restore = 72,
    CompareBackup = 73,
    WriteLogoParts = 74,
    // Shortcuts without a menu item of their own
    LogoModeKey = 100,
    MarkModeKey = 101,
    OpenPortKey = 102,
    ExitKey = 103,
    PrintSystemKey = 104,
    // установки сом-порта
    Baud115200 = 110,
    Baud57600 = 111,
    Baud38400 = 112,
    Baud28800 = 113,
    Baud19200 = 114,
    Baud14400 = 115,
    Baud9600 = 116,
};

inline size_t qHash(CommandId id, size_t seed = 0) noexcept {
    return ::qHash(int(id), seed);
}

} // namespace app
