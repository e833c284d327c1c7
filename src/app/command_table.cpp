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
#include "marks/fragment_transfer.h"
#include "marks/mark_file_commands.h"
#include "marks/mark_transfer.h"

#include <QHash>

using namespace printerlink;

namespace app {

namespace {

template <void (*F)(Session&)> void run(Shell& sh) {
    F(sh.session());
}
template <bool (*F)(Session&)> void runBool(Shell& sh) {
    F(sh.session());
}
template <int Id> void help(Shell& sh) {
    showHelp(sh.session(), Id);
}
template <int Rate> void baud(Shell& sh) {
    sh.changeBaud(Rate);
}

const QHash<int, Command>& table() {
    static const QHash<int, Command> t = {
        // Connection
        {2, [](Shell& sh) { sh.openPort(); }},
        {IdOpenKey,
         [](Shell& sh) {
             if (!sh.session().link.open)
                 sh.openPort();
         }},
        {3, [](Shell& sh) { sh.closePort(); }},
        {110, baud<115200>},
        {111, baud<57600>},
        {112, baud<38400>},
        {113, baud<28800>},
        {114, baud<19200>},
        {115, baud<14400>},
        {116, baud<9600>},
        // Printer settings and read-outs
        {54, runBool<queryVersion>},
        {50, run<setPrinterClock>},
        {51, run<setDateOffset>},
        {52, run<setPrintLines>},
        {53, run<readPrintModeSettings>},
        {55, run<readPrintSystemSettings>},
        {IdInfoKey, run<readPrintSystemSettings>},
        {60, run<readRunningHours>},
        {61, run<readPrintedMarks>},
        // Program and windows
        {9, [](Shell& sh) { sh.requestExit(); }},
        {IdExitKey, [](Shell& sh) { sh.requestExit(); }},
        {7, [](Shell& sh) { sh.showMarkWindow(false); }},
        {8, [](Shell& sh) { sh.showGraphicWindow(false); }},
        {IdMarkMode, [](Shell& sh) { sh.showMarkWindow(true); }},
        {IdLogoMode, [](Shell& sh) { sh.showGraphicWindow(true); }},
        // Marks
        {10, run<marks::newMark>},
        {11, run<marks::openMarkFile>},
        {13, run<marks::saveMark>},
        {14, run<marks::saveMarkAs>},
        {56, run<marks::readFragment>},
        {17, run<marks::writeFragment>},
        {12, run<marks::readCurrentMark>},
        {18, run<marks::readMarkByNumber>},
        {15, run<marks::writeMarkByNumber>},
        {19, run<showTextMarkAreaMap>},
        // Logos
        {20, run<logos::newLogo>},
        {21, run<logos::openLogoFile>},
        {23, run<logos::saveLogoAs>},
        {25, run<readLogoSlot>},
        {26, run<writeLogoSlot>},
        {29, run<deleteLogoSlot>},
        {28, run<viewMarkBitmap>},
        {24, run<showGraphicAreaMap>},
        // Graphic editor
        {30, run<editor::changeLogoWidth>},
        {31, run<editor::changeLogoHeight>},
        {32, run<editor::invertLogo>},
        {33, run<editor::undoLogoChange>},
        {34, run<editor::clearLogoArea>},
        {35, run<editor::countLogoDots>},
        // Help
        {40, help<40>},
        {41, help<41>},
        {42, help<42>},
        {43, help<43>},
    };
    return t;
}

} // namespace

Command commandFor(int id) {
    return table().value(id, nullptr);
}

QList<int> commandIds() {
    return table().keys();
}

void showNotConnected(Session& s) {
    s.dialogs.error(QStringLiteral("Соединение с Маркиратором не установлено!\n\r"
                                   "НЕ ВЫПОЛНЕНА ИНИЦИАЛИЗАЦИЯ COM-ПОРТА:\n\r"
                                   "'Функции' >> 'Подключение' >> 'Открыть СОМ-порт'"));
}

void dispatch(Shell& shell, int id) {
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
