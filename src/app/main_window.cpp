#include "app/main_window.h"

#include "app/menu_table.h"
#include "app/qt_dialogs.h"
#include "app/startup.h"
#include "editor/graphic_window.h"
#include "link/port_opening.h"
#include "link/version_query.h"
#include "logos/logo_document.h"
#include "marks/mark_document.h"
#include "marks/mark_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

using namespace platform;
using namespace printerlink;

namespace app {

namespace {

const QString kTitle = QStringLiteral("'INKWICK' для K307/K309  версия 4.0");
const QString kMarkMenu = QStringLiteral("МАРКА");
const QString kGraphicMenu = QStringLiteral("ГРАФИКА");
const QString kEditorMenu = QStringLiteral("РедакторГрафики");
constexpr int kMarkLampField = 1;
constexpr int kGraphicLampField = 3;

// A child window's frame: no close box, and it ignores close requests (Ctrl+F4) so the two
// windows the program relies on cannot be lost.
class ChildFrame : public QMdiSubWindow {
public:
    using QMdiSubWindow::QMdiSubWindow;

protected:
    void closeEvent(QCloseEvent* e) override { e->ignore(); }
};

// Shortcut letters with the Cyrillic letters on the same keys, so they work in either layout.
// Letters other than Latin arrive as their upper-case code point.
struct ShortcutKey {
    int latin;
    int cyrillic;
    int id;
};
constexpr ShortcutKey kShortcutKeys[] = {
    {Qt::Key_G, 0x041F, IdLogoMode}, {Qt::Key_M, 0x042C, IdMarkMode},
    {Qt::Key_C, 0x0421, IdOpenKey},  {Qt::Key_Q, 0x0419, IdExitKey},
    {Qt::Key_U, 0x0413, IdInfoKey},
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

    setWindowTitle(kTitle);
    setFixedSize(800, 600);
    buildMenus();

    mdi_ = new QMdiArea(this);
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setCentralWidget(mdi_);
    markSub_ = addChild(
        new marks::MarkWindow(session_), QStringLiteral("ТЕКСТ МАРКИ"), icons_.markWindow,
        {{460, QStringLiteral("Марка: ...")}, {23, {}}, {150, QStringLiteral("COM?")}, {130, {}}},
        markFields_);
    graphicSub_ = addChild(new editor::GraphicWindow(session_), QStringLiteral("ГРАФИКА"),
                           icons_.graphicWindow,
                           {{360, QStringLiteral("Рисунок: ...")},
                            {80, QStringLiteral("XY=0:0")},
                            {110, QStringLiteral("Размер XY: 64x24")},
                            {23, {}},
                            {150, QStringLiteral("COM?")}},
                           graphicFields_);
    setLamp(LampTarget::Both, Lamp::Grey);

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
    connect(mdi_, &QMdiArea::subWindowActivated, this, [this] { updateWindowList(); });
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
                                    QList<QLabel*>& labels) {
    auto* inner = new QMainWindow;
    inner->setCentralWidget(content);
    QStatusBar* bar = inner->statusBar();
    bar->setSizeGripEnabled(false);
    // The field widths are fixed; a status-bar sized font keeps the clock and port texts whole.
    QFont small = bar->font();
    small.setPointSize(8);
    bar->setFont(small);
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

void MainWindow::buildMenus() {
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
        if (baudRateFor(item.id) || item.id == 7 || item.id == 8) {
            a->setCheckable(true);
            a->setChecked(item.checkedAtStart);
        }
        const int id = item.id;
        connect(a, &QAction::triggered, this, [this, id] { runCommand(id); });
        actions_[id] = a;
        if (item.separatorAfter)
            menus_[path]->addSeparator();
    }
}

void MainWindow::runCommand(int id) {
    dispatch(*this, id);
    if (exiting_)
        return;
    // Check marks follow the state, whatever the command did.
    for (int baudId = 110; baudId <= 116; ++baudId)
        actions_[baudId]->setChecked(baudRateFor(baudId) == session_.link.baudRate);
    updateWindowList();
}

void MainWindow::startUp(const QString& startDir, const QString& homeDir, bool openPortNow) {
    session_.wideLayout = wideLabelLayout();
    const WorkDir work = prepareWorkDir(startDir, homeDir);
    session_.workDir = work.dir;
    QDir::setCurrent(work.dir.path());
    if (!work.notice.isEmpty())
        session_.dialogs.messageBox(QStringLiteral("ПРЕДУПРЕЖДЕНИЕ"), work.notice,
                                    MessageIcon::Warning, MessageButtons::Ok);
    session_.link.baudRate = 115200;
    if (openPortNow)
        openPort();
}

void MainWindow::openPort() {
    if (!openPortInteractive(session_)) {
        showConnected(session_.link.open);
        return;
    }
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
    if (reopenPort(session_)) {
        setField(ChildWindow::TextMark, 2, session_.link.statusText());
        setField(ChildWindow::Graphic, 4, session_.link.statusText());
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
        actions_[20]->setEnabled(true);
        actions_[21]->setEnabled(true);
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
    actions_[7]->setChecked(active == markSub_);
    actions_[8]->setChecked(active == graphicSub_);
}

void MainWindow::requestExit() {
    close();
}

void MainWindow::closeEvent(QCloseEvent* e) {
    if (exiting_) {
        e->accept();
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

int MainWindow::shortcutIdFor(const QKeyEvent* e) const {
    const Qt::KeyboardModifiers mods = e->modifiers() & (Qt::ControlModifier | Qt::AltModifier |
                                                         Qt::ShiftModifier | Qt::MetaModifier);
    if (mods != Qt::ControlModifier)
        return 0;
    for (const ShortcutKey& k : kShortcutKeys)
        if (e->key() == k.latin || e->key() == k.cyrillic)
            return k.id;
    return 0;
}

// The five shortcuts belong to the window, whatever widget has the focus: a text field must
// not take Ctrl+C or Ctrl+U for itself.
bool MainWindow::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() != QEvent::ShortcutOverride && e->type() != QEvent::KeyPress)
        return QMainWindow::eventFilter(watched, e);
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || w->window() != this || QApplication::activeModalWidget() || exiting_)
        return QMainWindow::eventFilter(watched, e);
    auto* k = static_cast<QKeyEvent*>(e);
    if (k->key() == Qt::Key_F10 && k->modifiers() == Qt::NoModifier) {
        // F10 opens the menu bar as on Windows.
        if (e->type() == QEvent::KeyPress)
            menuBar()->setActiveAction(menus_[menuTitles().first()]->menuAction());
        e->accept();
        return true;
    }
    const int id = shortcutIdFor(k);
    if (!id)
        return QMainWindow::eventFilter(watched, e);
    e->accept();
    if (e->type() == QEvent::KeyPress && !k->isAutoRepeat())
        runCommand(id);
    return true;
}

void MainWindow::tick() {
    markFields_[3]->setText(clockStatusText(session_.clock.now()));
}

void MainWindow::setLamp(LampTarget target, Lamp l) {
    if (target != LampTarget::Graphic) {
        markLamp_ = l;
        markFields_[kMarkLampField]->setPixmap(icons_.lamp(l));
    }
    if (target != LampTarget::TextMark) {
        graphicLamp_ = l;
        graphicFields_[kGraphicLampField]->setPixmap(icons_.lamp(l));
    }
}

void MainWindow::setField(ChildWindow window, int field, const QString& text) {
    const QList<QLabel*>& labels = window == ChildWindow::TextMark ? markFields_ : graphicFields_;
    const int lampField = window == ChildWindow::TextMark ? kMarkLampField : kGraphicLampField;
    if (field < 0 || field >= labels.size() || field == lampField)
        return;
    labels[field]->setText(text);
}

void MainWindow::setCommandEnabled(int id, bool enabled) {
    if (QAction* a = actions_.value(id))
        a->setEnabled(enabled);
}

QLabel* MainWindow::statusField(ChildWindow window, int field) const {
    const QList<QLabel*>& labels = window == ChildWindow::TextMark ? markFields_ : graphicFields_;
    return field >= 0 && field < labels.size() ? labels[field] : nullptr;
}

Lamp MainWindow::lamp(ChildWindow window) const {
    return window == ChildWindow::TextMark ? markLamp_ : graphicLamp_;
}

} // namespace app
