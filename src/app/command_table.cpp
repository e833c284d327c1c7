// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_table.h"

#include "app/help_texts.h"
#include "app/menu_table.h"
#include "device/area_maps.h"
#include "device/counters_readout.h"
#include "device/mark_bitmap_view.h"
#include "device/print_mode_readout.h"
#include "device/print_system_readout.h"
#include "editor/editor_commands.h"
#include "link/printer_settings.h"
#include "link/session.h"
#include "link/version_query.h"
#include "logos/logo_file_commands.h"
#include "logos/logo_transfer.h"
#include "logos/picture_import.h"
#include "marks/fragment_transfer.h"
#include "marks/mark_file_commands.h"
#include "marks/mark_transfer.h"
#include "service/logo_parts.h"
#include "service/service_commands.h"

#include <QHash>

using namespace device;
using namespace logos;
using namespace printerlink;

namespace app {

namespace {

template <void (*F)(Session&)> void run(Shell& sh) {
    F(sh.session());
}
template <bool (*F)(Session&)> void runBool(Shell& sh) {
    F(sh.session());
}
template <CommandId Id> void help(Shell& sh) {
    showHelp(sh.session(), Id);
}
template <int Rate> void baud(Shell& sh) {
    sh.changeBaud(Rate);
}

const QHash<CommandId, Command>& table() {
    static const QHash<CommandId, Command> t = {
        // Connection
        {CommandId::OpenPort, [](Shell& sh) { sh.openPort(); }},
        {CommandId::OpenPortKey,
         [](Shell& sh) {
             if (!sh.session().link.open)
                 sh.openPort();
         }},
        {CommandId::ClosePort, [](Shell& sh) { sh.closePort(); }},
        {CommandId::Baud115200, baud<115200>},
        {CommandId::Baud57600, baud<57600>},
        {CommandId::Baud38400, baud<38400>},
        {CommandId::Baud28800, baud<28800>},
        {CommandId::Baud19200, baud<19200>},
        {CommandId::Baud14400, baud<14400>},
        {CommandId::Baud9600, baud<9600>},
        // Printer settings and read-outs
        {CommandId::Version, runBool<queryVersion>},
        {CommandId::SetClock, run<setPrinterClock>},
        {CommandId::SetDateOffset, run<setDateOffset>},
        {CommandId::SetPrintLines, run<setPrintLines>},
        {CommandId::PrintModeInfo, run<readPrintModeSettings>},
        {CommandId::PrintSystemInfo, run<readPrintSystemSettings>},
        {CommandId::PrintSystemKey, run<readPrintSystemSettings>},
        {CommandId::RunningHours, run<readRunningHours>},
        {CommandId::PrintedMarks, run<readPrintedMarks>},
        // СЕРВИС
        {CommandId::Backup, run<service::backupPrinter>},
        {CommandId::Restore, run<service::restoreFromBackup>},
        {CommandId::CompareBackup, run<service::compareWithBackup>},
        {CommandId::WriteLogoParts, run<service::writeLogoParts>},
        // Program and windows
        {CommandId::Exit, [](Shell& sh) { sh.requestExit(); }},
        {CommandId::ExitKey, [](Shell& sh) { sh.requestExit(); }},
        {CommandId::MarkWindow, [](Shell& sh) { sh.showMarkWindow(false); }},
        {CommandId::GraphicWindow, [](Shell& sh) { sh.showGraphicWindow(false); }},
        {CommandId::MarkModeKey, [](Shell& sh) { sh.showMarkWindow(true); }},
        {CommandId::LogoModeKey, [](Shell& sh) { sh.showGraphicWindow(true); }},
        // Marks
        {CommandId::NewMark, run<marks::newMark>},
        {CommandId::OpenMarkFile, run<marks::openMarkFile>},
        {CommandId::SaveMark, run<marks::saveMark>},
        {CommandId::SaveMarkAs, run<marks::saveMarkAs>},
        {CommandId::ReadFragment, run<marks::readFragment>},
        {CommandId::WriteFragment, run<marks::writeFragment>},
        {CommandId::ReadCurrentMark, run<marks::readCurrentMark>},
        {CommandId::ReadMark, run<marks::readMarkByNumber>},
        {CommandId::WriteMark, run<marks::writeMarkByNumber>},
        {CommandId::TextMarkArea, run<showTextMarkAreaMap>},
        // Logos
        {CommandId::NewLogo, run<logos::newLogo>},
        {CommandId::OpenLogoFile, run<logos::openLogoFile>},
        {CommandId::ImportPicture,
         [](Shell& sh) { logos::importPicture(sh.session(), sh.pictureImportDialog()); }},
        {CommandId::SaveLogoAs, run<logos::saveLogoAs>},
        {CommandId::ReadLogo, run<readLogoSlot>},
        {CommandId::WriteLogo, run<writeLogoSlot>},
        {CommandId::DeleteLogo, run<deleteLogoSlot>},
        {CommandId::MarkBitmap, run<viewMarkBitmap>},
        {CommandId::GraphicArea, run<showGraphicAreaMap>},
        // Graphic editor
        {CommandId::LogoWidth, run<editor::changeLogoWidth>},
        {CommandId::LogoHeight, run<editor::changeLogoHeight>},
        {CommandId::InvertLogo, run<editor::invertLogo>},
        {CommandId::UndoLogo, run<editor::undoLogoChange>},
        {CommandId::ClearLogo, run<editor::clearLogoArea>},
        {CommandId::CountDots, run<editor::countLogoDots>},
        {CommandId::ProtocolLog, [](Shell& sh) { sh.showProtocolLog(); }},
        // Help
        {CommandId::HelpAbout, help<CommandId::HelpAbout>},
        {CommandId::HelpConnection, help<CommandId::HelpConnection>},
        {CommandId::HelpFormats, help<CommandId::HelpFormats>},
        {CommandId::HelpShortcuts, help<CommandId::HelpShortcuts>},
    };
    return t;
}

} // namespace

Command commandFor(CommandId id) {
    return table().value(id, nullptr);
}

QList<CommandId> commandIds() {
    return table().keys();
}

void showNotConnected(Session& s) {
    s.dialogs.error(QStringLiteral("Соединение с Маркиратором не установлено!\n\r"
                                   "НЕ ВЫПОЛНЕНА ИНИЦИАЛИЗАЦИЯ COM-ПОРТА:\n\r"
                                   "'Функции' >> 'Подключение' >> 'Открыть СОМ-порт'"));
}

void dispatch(Shell& shell, CommandId id) {
    const Command c = commandFor(id);
    if (!c)
        return;
    if (needsPort(id) && !shell.session().link.open) {
        showNotConnected(shell.session());
        return;
    }
    c(shell);
}

} // namespace app
