// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_window.h"

#include "app/input_drop.h"

#include "app/app_settings.h"
#include "app/lamp_text.h"
#include "app/menu_table.h"
#include "app/protocol_log_window.h"
#include "app/qt_dialogs.h"
#include "app/startup.h"
#include "editor/graphic_window.h"
#include "link/port_opening.h"
#include "link/version_query.h"
#include "logos/logo_document.h"
#include "marks/mark_document.h"
#include "marks/mark_file.h"
#include "marks/widgets/mark_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

#include <optional>

using namespace platform;
using namespace printerlink;

namespace app {

namespace {

const QString kTitle = QStringLiteral("'INKWICK' для K307/K309  версия 4.0");
const QString kMarkMenu = QStringLiteral("МАРКА");
const QString kGraphicMenu = QStringLiteral("ГРАФИКА");
const QString kEditorMenu = QStringLiteral("РедакторГрафики");

// A status bar from left to right: text fields, and the link lamp where `field` is empty. The
// name is what a screen reader says for the field.
template <typename Field> struct BarItem {
    std::optional<Field> field;
    int width;
    QString text;
    QString name;
};

const QList<BarItem<MarkField>> kMarkBar = {
    {MarkField::File, 460, QStringLiteral("Марка: ..."), QStringLiteral("Файл марки")},
    {std::nullopt, 23, {}, QStringLiteral("Связь")},
    {MarkField::Port, 150, QStringLiteral("COM?"), QStringLiteral("Порт")},
    {MarkField::Clock, 130, {}, QStringLiteral("Дата и время компьютера")},
};
const QList<BarItem<GraphicField>> kGraphicBar = {
    {GraphicField::File, 360, QStringLiteral("Рисунок: ..."), QStringLiteral("Файл рисунка")},
    {GraphicField::Pointer, 80, QStringLiteral("XY=0:0"), QStringLiteral("Координаты точки")},
    {GraphicField::Size, 110, QStringLiteral("Размер XY: 64x24"),
     QStringLiteral("Размер логотипа")},
    {std::nullopt, 23, {}, QStringLiteral("Связь")},
    {GraphicField::Port, 150, QStringLiteral("COM?"), QStringLiteral("Порт")},
};

template <typename Field> QList<QPair<int, QString>> barLayout(const QList<BarItem<Field>>& bar) {
    QList<QPair<int, QString>> out;
    for (const BarItem<Field>& item : bar)
        out.append({item.width, item.text});
    return out;
}

// Sorts the labels of a bar into its text fields and its lamp.
template <typename Field>
void placeBar(const QList<BarItem<Field>>& bar, const QList<QLabel*>& labels,
              QMap<Field, QLabel*>& fields, QLabel*& lamp) {
    for (qsizetype i = 0; i < bar.size(); ++i) {
        labels[i]->setAccessibleName(bar[i].name);
        labels[i]->setAccessibleDescription(labels[i]->text());
        if (bar[i].field)
            fields[*bar[i].field] = labels[i];
        else
            lamp = labels[i];
    }
}

// A field's value is its description for assistive technology: its name says only what it is.
void showText(QLabel* field, const QString& text) {
    field->setText(text);
    field->setAccessibleDescription(text);
}

// A child window's frame: no close box, and it ignores close requests (Ctrl+F4) so the two
// windows the program relies on cannot be lost.
class ChildFrame : public QMdiSubWindow {
public:
    using QMdiSubWindow::QMdiSubWindow;

protected:
    void closeEvent(QCloseEvent* e) override { e->ignore(); }
};

} // namespace

MainWindow::MainWindow(SerialPort& port, Clock& clock, Dialogs& dialogs, PortCatalogue& catalogue,
                       QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint),
      icons_(Icons::draw()), session_(port, clock, dialogs, catalogue, *this) {
    // The logo (64 x 24 by default) and the mark exist before any window shows them.
    logoDoc_ = std::make_unique<logos::LogoDocument>();
    markDoc_ = std::make_unique<marks::MarkDocument>();
    session_.logo = logoDoc_.get();
    session_.marks = markDoc_.get();
    pictureImport_.setParentWindow(this);

    setWindowTitle(kTitle);
    setFixedSize(800, 600);
    buildMenus();
    buildShortcuts();
    followMarkDocument();

    mdi_ = new QMdiArea(this);
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setCentralWidget(mdi_);
    QList<QLabel*> labels;
    markSub_ = addChild(new marks::MarkWindow(session_), QStringLiteral("ТЕКСТ МАРКИ"),
                        icons_.markWindow, barLayout(kMarkBar), labels, markProgress_);
    placeBar(kMarkBar, labels, markFields_, markLampField_);
    labels.clear();
    graphicSub_ = addChild(new editor::GraphicWindow(session_), QStringLiteral("ГРАФИКА"),
                           icons_.graphicWindow, barLayout(kGraphicBar), labels, graphicProgress_);
    placeBar(kGraphicBar, labels, graphicFields_, graphicLampField_);
    setLamp(LampTarget::Both, Lamp::Grey);
    followLogoDocument();

    session_.mode = WindowMode::Mark;
    graphicSub_->showMaximized();
    markSub_->showMaximized();
    mdi_->setActiveSubWindow(markSub_);

    tick();
    clockTimer_ = new QTimer(this);
    clockTimer_->setInterval(1000);
    connect(clockTimer_, &QTimer::timeout, this, &MainWindow::tick);
    clockTimer_->start();
    applyModeMenus();
    showConnected(false);
    // Ctrl+Tab and Ctrl+F6 activate the other child window without the menu: the mode follows,
    // as from the window list, so the active window never has its menus greyed.
    // A command switches the mode itself; what it and its message boxes activate on the way
    // must not switch it behind its back.
    connect(mdi_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* w) {
        if (!session_.busy) {
            if (w == graphicSub_ && session_.mode == WindowMode::Mark)
                showGraphicWindow(false);
            else if (w == markSub_ && session_.mode == WindowMode::Logo)
                showMarkWindow(false);
        }
        updateWindowList();
    });
    updateWindowList();

    followInputTime();
    qApp->installEventFilter(this);

    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

MainWindow::~MainWindow() {
    qApp->removeEventFilter(this);
    // The windows refer to the documents: they go first.
    delete mdi_;
    mdi_ = nullptr;
}

QMdiSubWindow* MainWindow::addChild(QWidget* content, const QString& title, const QIcon& icon,
                                    const QList<QPair<int, QString>>& fields,
                                    QList<QLabel*>& labels, QProgressBar*& progress) {
    auto* inner = new QMainWindow;
    inner->setCentralWidget(content);
    QStatusBar* bar = inner->statusBar();
    bar->setSizeGripEnabled(false);
    // The field widths are fixed; a status-bar sized font keeps the clock and port texts whole.
    QFont small = bar->font();
    small.setPointSize(8);
    bar->setFont(small);
    // The progress of a transfer takes the place of the first field while it runs.
    progress = new QProgressBar;
    progress->setFixedWidth(fields.first().first);
    progress->setFormat(QStringLiteral("%v из %m байт"));
    progress->setAccessibleName(QStringLiteral("Ход передачи"));
    progress->hide();
    bar->addWidget(progress);
    for (const auto& [width, text] : fields) {
        auto* l = new QLabel(text);
        l->setFixedWidth(width);
        l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        l->setTextFormat(Qt::PlainText);
        bar->addWidget(l);
        labels << l;
    }
    auto* frame =
        new ChildFrame(nullptr, Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    frame->setWidget(inner);
    frame->setAttribute(Qt::WA_DeleteOnClose, false);
    frame->setWindowTitle(title);
    frame->setWindowIcon(icon);
    mdi_->addSubWindow(frame);
    return frame;
}

// The file field names the logo's file in the command's own words; what the document itself
// knows (its full file name, unsaved changes, or no file at all) the window shows here.
void MainWindow::followLogoDocument() {
    const logos::LogoDocument* logo = logoDoc_.get();
    auto describe = [this, logo] {
        QString tip = logo->hasCurrentFile() ? logo->currentFile() : QStringLiteral("без имени");
        if (logo->isModified())
            tip += QStringLiteral(" (изменения не сохранены)");
        graphicFields_[GraphicField::File]->setToolTip(tip);
    };
    connect(logo, &logos::LogoDocument::modifiedChanged, this, describe);
    connect(logo, &logos::LogoDocument::currentFileChanged, this,
            [this, describe](const QString& name) {
                if (name.isEmpty())
                    setField(GraphicField::File, QStringLiteral("Рисунок: ..."));
                describe();
            });
    describe();
}

void MainWindow::buildMenus() {
    baudGroup_ = new QActionGroup(this);
    baudGroup_->setExclusive(true);
    for (const QString& title : menuTitles())
        menus_[title] = menuBar()->addMenu(title);
    const QStringList separated = submenusFollowedBySeparator();
    for (const MenuItem& item : menuItems()) {
        // Submenus appear where their first item is listed.
        const QStringList parts = item.path.split(u'/');
        QString path = parts.first();
        for (qsizetype i = 1; i < parts.size(); ++i) {
            const QString sub = path + u'/' + parts[i];
            if (!menus_.contains(sub)) {
                menus_[sub] = menus_[path]->addMenu(parts[i]);
                if (separated.contains(sub))
                    menus_[path]->addSeparator();
            }
            path = sub;
        }
        QAction* a = menus_[path]->addAction(item.text);
        a->setEnabled(item.enabledAtStart);
        if (baudRateFor(item.id)) {
            baudGroup_->addAction(a);
            a->setCheckable(true);
            a->setChecked(item.checkedAtStart);
        } else if (item.id == CommandId::MarkWindow || item.id == CommandId::GraphicWindow) {
            a->setCheckable(true);
            a->setChecked(item.checkedAtStart);
        }
        const CommandId id = item.id;
        connect(a, &QAction::triggered, this, [this, id] { runCommand(id); });
        actions_[id] = a;
        if (item.separatorAfter)
            menus_[path]->addSeparator();
    }
}

// The shortcuts belong to the window, whatever widget has the focus (see eventFilter). They
// are actions of their own: Ctrl+U must reach the not-connected guard while its item is greyed.
void MainWindow::buildShortcuts() {
    for (const Shortcut& shortcut : shortcuts()) {
        auto* a = new QAction(this);
        a->setShortcuts(shortcut.keys);
        a->setShortcutContext(Qt::WindowShortcut);
        a->setAutoRepeat(false);
        const CommandId id = shortcut.id;
        connect(a, &QAction::triggered, this, [this, id] {
            if (!exiting_)
                runCommand(id);
        });
        addAction(a);
        shortcutKeys_ << shortcut.keys;
    }
}

void MainWindow::followMarkDocument() {
    connect(markDoc_.get(), &marks::MarkDocument::fileChanged, this,
            [this](const QString& name, marks::FileOrigin origin) {
                setField(MarkField::File,
                         marks::markStatusText(name, origin == marks::FileOrigin::Opened));
            });
    connect(markDoc_.get(), &marks::MarkDocument::canSaveChanged, actions_[CommandId::SaveMark],
            &QAction::setEnabled);
    connect(markDoc_.get(), &marks::MarkDocument::canSaveAsChanged, actions_[CommandId::SaveMarkAs],
            &QAction::setEnabled);
}

void MainWindow::runGuarded(const std::function<void()>& command) {
    {
        BusyScope busy(session_);
        // Ends first: the input it drops at its end still meets a busy window.
        InputDrop dropped;
        command();
    }
    session_.monitor.flush();
    dropVanishedPort();
    // The mode's own window is the one in front again, whatever the command activated.
    if (!exiting_ && mdi_ &&
        mdi_->currentSubWindow() != (session_.mode == WindowMode::Logo ? graphicSub_ : markSub_))
        activateModeWindow();
    if (closeAfterCommand_ && !exiting_) {
        // The close box was used during the command: ask now that it has ended.
        closeAfterCommand_ = false;
        QTimer::singleShot(0, this, &QWidget::close);
    }
}

// A device that vanished mid-command has closed itself after its error was shown; the window
// then shows the not-connected state, so opening the port again is one step.
void MainWindow::dropVanishedPort() {
    if (exiting_ || !session_.link.open || session_.port.isOpen())
        return;
    ::closePort(session_);
    showConnected(false);
}

void MainWindow::runCommand(CommandId id) {
    // The waits of a running command serve events: an action, shortcut or posted event that
    // arrives here then starts nothing.
    if (session_.busy)
        return;
    runGuarded([this, id] { dispatch(*this, id); });
    if (exiting_)
        return;
    updateBaudChecks();
    updateWindowList();
}

// Check marks follow the state, whatever the command did.
void MainWindow::updateBaudChecks() {
    for (QAction* a : baudGroup_->actions())
        if (baudRateFor(actions_.key(a)) == session_.link.baudRate)
            a->setChecked(true);
}

void MainWindow::startUp(const QString& startDir, const QString& homeDir, bool openPortNow,
                         const QString& port) {
    session_.wideLayout = wideLabelLayout();
    const WorkDir work = prepareWorkDir(startDir, homeDir);
    session_.workDir = work.dir;
    QDir::setCurrent(work.dir.path());
    if (!work.notice.isEmpty())
        session_.dialogs.messageBox(QStringLiteral("ПРЕДУПРЕЖДЕНИЕ"), work.notice,
                                    MessageIcon::Warning, MessageButtons::Ok);
    session_.link.baudRate = 115200;
    if (settings_) {
        if (const int rate = settings_->baudRate())
            session_.link.baudRate = rate;
        session_.link.device = settings_->lastPort();
    }
    updateBaudChecks();
    if (!port.isEmpty())
        runGuarded([this, port] { connectTo(openPortNamed(session_, port)); });
    else if (openPortNow)
        runGuarded([this] { openPort(); });
}

void MainWindow::openPort() {
    connectTo(openPortInteractive(session_));
}

void MainWindow::connectTo(bool opened) {
    if (!opened) {
        showConnected(session_.link.open);
        return;
    }
    if (settings_)
        settings_->setLastPort(session_.link.device);
    showConnected(true);
    activateModeWindow();
    queryVersion(session_);
    if (!session_.link.isK309())
        enterLogoMode();
}

void MainWindow::closePort() {
    if (session_.link.open || session_.port.isOpen())
        ::closePort(session_);
    else
        setLamp(LampTarget::Both, Lamp::Grey);
    showConnected(false);
}

void MainWindow::changeBaud(int rate) {
    if (!session_.link.open)
        return;
    session_.link.baudRate = rate;
    if (settings_)
        settings_->setBaudRate(rate);
    if (reopenPort(session_)) {
        setField(MarkField::Port, session_.link.statusText());
        setField(GraphicField::Port, session_.link.statusText());
        return;
    }
    // A port that will not reopen is closed for good: say so and show it, instead of menus
    // and status fields that still claim a connection.
    session_.dialogs.messageBox(
        QStringLiteral("СООБЩЕНИЕ СИСТЕМЫ"),
        openFailureText(session_.link.portName, session_.port.lastOpenError()), MessageIcon::Error,
        MessageButtons::Ok);
    ::closePort(session_);
    showConnected(false);
}

void MainWindow::showConnected(bool open) {
    for (const MenuItem& item : menuItems()) {
        if (item.onOpen == OnOpen::Enable)
            actions_[item.id]->setEnabled(open);
        else if (item.onOpen == OnOpen::Grey)
            actions_[item.id]->setEnabled(!open);
    }
}

void MainWindow::applyModeMenus() {
    const bool logo = session_.mode == WindowMode::Logo;
    menus_[kMarkMenu]->menuAction()->setEnabled(!logo);
    menus_[kGraphicMenu]->menuAction()->setEnabled(logo);
    menus_[kEditorMenu]->menuAction()->setEnabled(logo);
    if (logo) {
        actions_[CommandId::NewLogo]->setEnabled(true);
        actions_[CommandId::OpenLogoFile]->setEnabled(true);
    }
}

void MainWindow::enterLogoMode() {
    session_.mode = WindowMode::Logo;
    markSub_->hide();
    graphicSub_->show();
    mdi_->setActiveSubWindow(graphicSub_);
    graphicSub_->showMaximized();
    applyModeMenus();
    updateWindowList();
}

void MainWindow::enterMarkMode() {
    session_.mode = WindowMode::Mark;
    graphicSub_->hide();
    markSub_->show();
    mdi_->setActiveSubWindow(markSub_);
    markSub_->showMaximized();
    applyModeMenus();
    updateWindowList();
}

void MainWindow::activateModeWindow() {
    QMdiSubWindow* w = session_.mode == WindowMode::Logo ? graphicSub_ : markSub_;
    w->show();
    mdi_->setActiveSubWindow(w);
    w->showMaximized();
    applyModeMenus();
    updateWindowList();
}

void MainWindow::showMarkWindow(bool fromShortcut) {
    if (fromShortcut) {
        if (session_.mode == WindowMode::Logo)
            enterMarkMode();
        return;
    }
    session_.mode = WindowMode::Mark;
    activateModeWindow();
}

void MainWindow::showGraphicWindow(bool fromShortcut) {
    if (fromShortcut) {
        if (session_.mode == WindowMode::Mark)
            enterLogoMode();
        return;
    }
    session_.mode = WindowMode::Logo;
    activateModeWindow();
}

void MainWindow::updateWindowList() {
    if (!mdi_)
        return;
    QMdiSubWindow* active = mdi_->activeSubWindow();
    actions_[CommandId::MarkWindow]->setChecked(active == markSub_);
    actions_[CommandId::GraphicWindow]->setChecked(active == graphicSub_);
}

void MainWindow::requestExit() {
    exitCommand_ = true;
    close();
    exitCommand_ = false;
}

void MainWindow::showProtocolLog() {
    if (!logWindow_)
        logWindow_ = new ProtocolLogWindow(session_, this);
    logWindow_->show();
    logWindow_->raise();
    logWindow_->activateWindow();
}

void MainWindow::closeEvent(QCloseEvent* e) {
    if (exiting_) {
        e->accept();
        return;
    }
    if (session_.busy && !exitCommand_) {
        // Never in the middle of an exchange: the question comes when the command has ended.
        closeAfterCommand_ = true;
        e->ignore();
        return;
    }
    if (session_.dialogs.messageBox(
            QStringLiteral("ЗАВЕРШЕНИЕ РАБОТЫ"), QStringLiteral("ЗАВЕРШИТЬ РАБОТУ ПРОГРАММЫ?"),
            MessageIcon::None, MessageButtons::YesNo) != MessageAnswer::Yes) {
        e->ignore();
        return;
    }
    exiting_ = true;
    clockTimer_->stop();
    if (session_.link.open || session_.port.isOpen())
        ::closePort(session_);
    QFile::remove(session_.workDir.filePath(QStringLiteral("tmpmark.mrt")));
    e->accept();
}

// A maximised child window lends its title to the frame ("... - [ТЕКСТ МАРКИ]"); the program's
// title stays as it is.
void MainWindow::changeEvent(QEvent* e) {
    QMainWindow::changeEvent(e);
    if (e->type() == QEvent::WindowTitleChange && windowTitle() != kTitle)
        setWindowTitle(kTitle);
}

bool MainWindow::isShortcut(const QKeyEvent* e) const {
    const Qt::KeyboardModifiers mods = e->modifiers() & (Qt::ControlModifier | Qt::AltModifier |
                                                         Qt::ShiftModifier | Qt::MetaModifier);
    return shortcutKeys_.contains(QKeySequence(QKeyCombination(mods, Qt::Key(e->key()))));
}

// F10 opens the menu bar as on Windows. And the shortcuts belong to the window, whatever widget
// has the focus: a text field must not claim Ctrl+C or Ctrl+U for itself, so it never sees
// their override request.
bool MainWindow::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() != QEvent::ShortcutOverride && e->type() != QEvent::KeyPress)
        return QMainWindow::eventFilter(watched, e);
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || w->window() != this || QApplication::activeModalWidget() || exiting_)
        return QMainWindow::eventFilter(watched, e);
    auto* k = static_cast<QKeyEvent*>(e);
    if (k->key() == Qt::Key_F10 && k->modifiers() == Qt::NoModifier) {
        if (e->type() == QEvent::KeyPress)
            menuBar()->setActiveAction(menus_[menuTitles().first()]->menuAction());
        e->accept();
        return true;
    }
    if (e->type() == QEvent::ShortcutOverride && isShortcut(k))
        return true; // left unaccepted, so the shortcut runs
    return QMainWindow::eventFilter(watched, e);
}

void MainWindow::tick() {
    setField(MarkField::Clock, clockStatusText(session_.clock.now()));
}

void MainWindow::setLamp(LampTarget target, Lamp l) {
    // The state is in words as well as in colour.
    auto show = [&](QLabel* field) {
        field->setPixmap(icons_.lamp(l));
        field->setToolTip(lampStateText(l));
        field->setAccessibleDescription(lampStateText(l));
    };
    if (target != LampTarget::Graphic) {
        markLamp_ = l;
        show(markLampField_);
    }
    if (target != LampTarget::TextMark) {
        graphicLamp_ = l;
        show(graphicLampField_);
    }
}

void MainWindow::setField(MarkField field, const QString& text) {
    showText(markFields_[field], text);
}

void MainWindow::setField(GraphicField field, const QString& text) {
    showText(graphicFields_[field], text);
}

QLabel* MainWindow::lampField(ChildWindow window) const {
    return window == ChildWindow::TextMark ? markLampField_ : graphicLampField_;
}

void MainWindow::setProgress(qint64 done, qint64 total) {
    const bool shown = total > 0;
    progressValue_ = int(qMin<qint64>(qMin(done, total), INT_MAX));
    for (auto [bar, label] :
         {std::pair{markProgress_, markFields_.value(MarkField::File)},
          std::pair{graphicProgress_, graphicFields_.value(GraphicField::File)}}) {
        if (shown)
            bar->setRange(0, int(qMin<qint64>(total, INT_MAX)));
        label->setVisible(!shown);
        bar->setVisible(shown);
    }
    // A new value repaints the bar at once: that is left to the next event turn of a wait,
    // which knows how long the printer's pause still has to run.
    if (shown && !progressPending_) {
        progressPending_ = true;
        QTimer::singleShot(0, this, [this] {
            progressPending_ = false;
            markProgress_->setValue(progressValue_);
            graphicProgress_->setValue(progressValue_);
        });
    }
}

QProgressBar* MainWindow::progressBar(ChildWindow window) const {
    return window == ChildWindow::TextMark ? markProgress_ : graphicProgress_;
}

Lamp MainWindow::lamp(ChildWindow window) const {
    return window == ChildWindow::TextMark ? markLamp_ : graphicLamp_;
}

} // namespace app
