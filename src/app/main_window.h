// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/command_table.h"
#include "app/icons.h"
#include "app/picture_import_window.h"
#include "link/session.h"
#include "platform/status_view.h"

#include <QHash>
#include <QKeySequence>
#include <QMainWindow>
#include <QMap>
#include <functional>
#include <memory>

class QAction;
class QActionGroup;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QProgressBar;
class QTimer;

namespace marks {
class MarkDocument;
class MarkWindow;
} // namespace marks
namespace logos {
class LogoDocument;
}
namespace editor {
class GraphicWindow;
}

namespace app {

class ProtocolLogWindow;
class AppSettings;

// The program's one window: the two child windows with their status bars, the menu bar, the
// shortcuts and the clock. It owns the Session and is its StatusView.
class MainWindow : public QMainWindow, public platform::StatusView, public Shell {
    Q_OBJECT
public:
    MainWindow(platform::SerialPort& port, platform::Clock& clock, platform::Dialogs& dialogs,
               platform::PortCatalogue& catalogue, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The start-up steps after the window: working directory, wide layout flag, port opening
    // and the version query. A `port` given opens without the prompt.
    void startUp(const QString& startDir, const QString& homeDir, bool openPortNow = true,
                 const QString& port = {});
    // Where the last port and baud rate are remembered; nothing is without it.
    void setSettings(AppSettings* settings) { settings_ = settings; }

    // One menu or shortcut command by its id.
    void runCommand(CommandId id);

    // Shell
    printerlink::Session& session() override { return session_; }
    void openPort() override;
    void closePort() override;
    void changeBaud(int rate) override;
    void showMarkWindow(bool fromShortcut) override;
    void showGraphicWindow(bool fromShortcut) override;
    void requestExit() override;
    void showProtocolLog() override;
    logos::PictureImportDialog& pictureImportDialog() override { return pictureImport_; }

    // StatusView
    void setLamp(platform::LampTarget target, platform::Lamp lamp) override;
    void setField(platform::MarkField field, const QString& text) override;
    void setField(platform::GraphicField field, const QString& text) override;
    void setProgress(qint64 done, qint64 total) override;

    // For the tests and the look of things.
    QAction* action(CommandId id) const { return actions_.value(id); }
    QMenu* menu(const QString& path) const { return menus_.value(path); }
    QLabel* statusField(platform::MarkField field) const { return markFields_.value(field); }
    QLabel* statusField(platform::GraphicField field) const { return graphicFields_.value(field); }
    QLabel* lampField(platform::ChildWindow window) const;
    platform::Lamp lamp(platform::ChildWindow window) const;
    QMdiSubWindow* markSubWindow() const { return markSub_; }
    QMdiSubWindow* graphicSubWindow() const { return graphicSub_; }
    QMdiArea* mdiArea() const { return mdi_; }
    bool exiting() const { return exiting_; }
    QProgressBar* progressBar(platform::ChildWindow window) const;
    ProtocolLogWindow* protocolLogWindow() const { return logWindow_; }

protected:
    void closeEvent(QCloseEvent* e) override;
    void changeEvent(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void buildMenus();
    void buildShortcuts();
    void followMarkDocument();
    void followLogoDocument();
    QMdiSubWindow* addChild(QWidget* content, const QString& title, const QIcon& icon,
                            const QList<QPair<int, QString>>& fields, QList<QLabel*>& labels,
                            QProgressBar*& progress);
    // Runs one command with every other command, shortcut and close request held off.
    void runGuarded(const std::function<void()>& command);
    void dropVanishedPort();
    void showConnected(bool open);
    // What follows an opening: the connected state and the version query, or the state a failed
    // one left.
    void connectTo(bool opened);
    void applyModeMenus();
    void enterLogoMode();
    void enterMarkMode();
    void activateModeWindow();
    void updateWindowList();
    void updateBaudChecks();
    void tick();
    bool isShortcut(const QKeyEvent* e) const;

    Icons icons_;
    QtPictureImport pictureImport_;
    printerlink::Session session_;
    std::unique_ptr<marks::MarkDocument> markDoc_;
    std::unique_ptr<logos::LogoDocument> logoDoc_;
    QMdiArea* mdi_ = nullptr;
    QMdiSubWindow* markSub_ = nullptr;
    QMdiSubWindow* graphicSub_ = nullptr;
    QMap<platform::MarkField, QLabel*> markFields_;
    QMap<platform::GraphicField, QLabel*> graphicFields_;
    QLabel* markLampField_ = nullptr;
    QLabel* graphicLampField_ = nullptr;
    QProgressBar* markProgress_ = nullptr;
    QProgressBar* graphicProgress_ = nullptr;
    int progressValue_ = 0;
    bool progressPending_ = false;
    ProtocolLogWindow* logWindow_ = nullptr;
    platform::Lamp markLamp_ = platform::Lamp::Grey;
    platform::Lamp graphicLamp_ = platform::Lamp::Grey;
    QHash<CommandId, QAction*> actions_;
    QActionGroup* baudGroup_ = nullptr;
    QList<QKeySequence> shortcutKeys_;
    QHash<QString, QMenu*> menus_;
    QTimer* clockTimer_ = nullptr;
    bool exiting_ = false;
    bool exitCommand_ = false;
    bool closeAfterCommand_ = false;
    AppSettings* settings_ = nullptr;
};

} // namespace app
