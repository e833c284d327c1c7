// SPDX-License-Identifier: GPL-3.0-or-later
// The whole application against printer-sim over a pseudo-terminal, in real time: the real
// main window on the real serial port, clock and port list; only the dialogs are scripted.

#include "app/main_window.h"
#include "device/print_system_text.h"
#include "emulator_process.h"
#include "logos/logo_document.h"
#include "marks/mark_document.h"
#include "platform/qt_serial_port.h"
#include "platform/real_clock.h"
#include "platform/system_port_catalogue.h"
#include "scripted_dialogs.h"
#include "sim/printer.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace platform;
using namespace printerlink;

namespace {

using Id = app::CommandId;

struct App {
    QtSerialPort port;
    RealClock clock;
    ScriptedDialogs dialogs;
    SystemPortCatalogue catalogue;
    QTemporaryDir dir;
    QString startDir;
    std::unique_ptr<app::MainWindow> window;

    explicit App(const QString& device) : startDir(QDir::currentPath()) {
        qputenv("INKWICK_EXTRA_PORTS", device.toLocal8Bit());
        window = std::make_unique<app::MainWindow>(port, clock, dialogs, catalogue);
        window->show();
    }
    ~App() {
        window.reset();
        // Start-up moved into the working directory, which goes with the temporary one.
        QDir::setCurrent(startDir);
    }

    // Start-up as main() does it, answering the port prompt with the first port.
    void start() {
        dialogs.answer(QStringLiteral("1"));
        window->startUp(dir.path(), dir.path());
    }
    Session& session() { return window->session(); }
    QString lastText() const { return dialogs.shown.isEmpty() ? QString() : dialogs.last().text; }
};

const QString kReadError = QStringLiteral("Ошибка при чтении данных из Маркиратора (COM1)!");
const QString kVersionText =
    QStringLiteral("Версия Программы Системы Печати:\n\r'K309 v4.12 011010'");

} // namespace

class TestAppEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void init() {
        QStringList arguments;
        if (QByteArray(QTest::currentTestFunction()).startsWith("silent"))
            arguments << QStringLiteral("--silent");
        // Each reply leaves as one packet, as an adapter hands over a short reply. Paced byte by
        // byte, a busy machine pauses the emulator inside a reply for longer than the settle
        // test's quiet time and the reply is cut; the fault matrix covers such gaps in virtual
        // time. INKWICK_E2E_PACED=1 runs these tests with the pacing.
        if (qEnvironmentVariableIntValue("INKWICK_E2E_PACED") == 0)
            arguments << QStringLiteral("--chunk") << QStringLiteral("4096");
        sim_ = std::make_unique<EmulatorProcess>(arguments);
        QVERIFY2(sim_->start(), qPrintable(EmulatorProcess::program()));
    }
    void cleanup() { sim_.reset(); }

    void startUpConnectsAndAsksTheVersion() {
        App a(sim_->device());
        a.start();

        QVERIFY(a.session().link.open);
        QCOMPARE(a.session().link.device, sim_->device());
        QCOMPARE(a.dialogs.shown.first().kind, ScriptedDialogs::Kind::PortPrompt);
        QCOMPARE(a.lastText(), kVersionText);
        QCOMPARE(a.window->lamp(ChildWindow::TextMark), Lamp::Idle);
        QCOMPARE(a.session().workDir.dirName(), QStringLiteral("PRINTER FILES"));

        a.window->runCommand(Id::Version);
        QCOMPARE(a.lastText(), kVersionText);
        QVERIFY(a.dialogs.unexpected.isEmpty());
    }

    void markWrittenAndReadBack() {
        App a(sim_->device());
        a.start();
        marks::MarkModel& model = a.session().marks->model();
        marks::MarkRows mark = marks::initialRows();
        mark[0][marks::TextColumn] = QStringLiteral("ГОДЕН ДО");
        mark[8][marks::TextColumn] = QStringLiteral("ПАРТИЯ 0042");
        mark[31][marks::TextColumn] = QString(44, QChar(0x0416));
        for (marks::MarkRow& row : mark)
            row[marks::FreeColumn] = marks::freePlacesText(row[marks::TextColumn]);
        model.setRows(mark);

        a.dialogs.answer(QStringLiteral("42"));
        a.window->runCommand(Id::WriteMark);
        QCOMPARE(a.lastText(), QStringLiteral("Запись Марки #42 успешно завершена."));

        model.setRows(marks::initialRows());
        const qsizetype shown = a.dialogs.shown.size();
        a.dialogs.answer(QStringLiteral("42"));
        a.window->runCommand(Id::ReadMark);
        QCOMPARE(a.dialogs.shown.size(), shown + 1); // the number prompt, no message
        for (int r = 0; r < marks::kFragmentCount; ++r) {
            const QStringList got(model.rows()[r].begin(), model.rows()[r].end());
            const QStringList want(mark[r].begin(), mark[r].end());
            QCOMPARE(got, want);
        }
        QVERIFY(a.dialogs.unexpected.isEmpty());
    }

    void logoWrittenAndReadBack() {
        App a(sim_->device());
        a.start();
        logos::LogoDocument& logo = *a.session().logo;
        logo.newLogo(40, 16);
        for (int k = 0; k < 40; ++k) {
            logo.setDot(k, k % 16, true);
            logo.setDot(k, 15 - (k * 3) % 16, true);
        }
        const QImage written = logo.logoPicture();

        a.dialogs.answer(QStringLiteral("5"));
        a.window->runCommand(Id::WriteLogo);
        QCOMPARE(a.lastText(), QStringLiteral("Передача Логотипа #005 завершена."));

        logo.newLogo(64, 24);
        a.dialogs.answer(QStringLiteral("5"));
        a.window->runCommand(Id::ReadLogo);
        QCOMPARE(logo.size(), QSize(40, 16));
        QCOMPARE(logo.logoPicture(), written);
        QVERIFY(QFile::exists(a.session().workDir.filePath(QStringLiteral("logo005.bin"))));
        QVERIFY(a.dialogs.unexpected.isEmpty());
    }

    void settingsReadOut() {
        App a(sim_->device());
        a.start();
        const qsizetype shown = a.dialogs.shown.size();

        a.window->runCommand(Id::PrintSystemInfo);

        QCOMPARE(a.dialogs.shown.size(), shown + 1);
        QCOMPARE(a.dialogs.last().title, QStringLiteral("Информация Системы Печати"));
        QByteArray block = sim::PrinterState().settings;
        block.resize(256, '\0');
        QCOMPARE(a.lastText(), device::printSystemSettingsText(block, QStringLiteral("K309"),
                                                               a.session().wideLayout));
        QCOMPARE(a.window->lamp(ChildWindow::TextMark), Lamp::Idle);
    }

    void silentPrinterIsReportedInGoodTime() {
        App a(sim_->device());
        QElapsedTimer timer;
        timer.start();
        a.start();
        QVERIFY(a.session().link.open);
        QCOMPARE(a.lastText(), kReadError);
        a.window->runCommand(Id::PrintSystemInfo);
        QCOMPARE(a.lastText(), kReadError);
        QCOMPARE(a.window->lamp(ChildWindow::TextMark), Lamp::Error);
        // Two exchanges of about half a second each, not a hang.
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
    }

    void vanishedPrinterIsReportedInGoodTime() {
        App a(sim_->device());
        a.start();
        QCOMPARE(a.lastText(), kVersionText);
        sim_->stop(); // the pseudo-terminal goes, as an unplugged adapter does

        QElapsedTimer timer;
        timer.start();
        a.window->runCommand(Id::PrintSystemInfo);
        QCOMPARE(a.lastText(), kReadError);
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
        // The dead port is closed: the next command meets the not-connected guard, and the
        // opening is one step away.
        QVERIFY(!a.session().link.open);
        QVERIFY(a.window->action(Id::OpenPort)->isEnabled());
        a.window->runCommand(Id::WriteMark);
        QVERIFY(
            a.lastText().startsWith(QStringLiteral("Соединение с Маркиратором не установлено!")));
        QVERIFY(a.dialogs.unexpected.isEmpty());
    }

private:
    std::unique_ptr<EmulatorProcess> sim_;
};

QTEST_MAIN(TestAppEndToEnd)
#include "tst_app_e2e.moc"
