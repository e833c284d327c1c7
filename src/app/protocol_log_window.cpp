// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/protocol_log_window.h"

#include "link/session.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QTimer>
#include <QVBoxLayout>

using namespace platform;

namespace app {

ProtocolLogWindow::ProtocolLogWindow(printerlink::Session& session, QWidget* parent)
    : QWidget(parent, Qt::Window), session_(session) {
    setWindowTitle(QStringLiteral("ЖУРНАЛ ОБМЕНА"));
    setAccessibleName(windowTitle());
    resize(720, 420);

    view_ = new QPlainTextEdit(this);
    view_->setReadOnly(true);
    view_->setLineWrapMode(QPlainTextEdit::NoWrap);
    view_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    view_->setMaximumBlockCount(10000);
    view_->setAccessibleName(QStringLiteral("Журнал обмена с Маркиратором"));

    auto* clear = new QPushButton(QStringLiteral("Очистить"), this);
    auto* save = new QPushButton(QStringLiteral("Сохранить в файл..."), this);
    connect(clear, &QPushButton::clicked, this, &ProtocolLogWindow::clearLog);
    connect(save, &QPushButton::clicked, this, &ProtocolLogWindow::saveLog);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(clear);
    buttons->addWidget(save);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view_);
    layout->addLayout(buttons);

    timer_ = new QTimer(this);
    timer_->setInterval(200);
    connect(timer_, &QTimer::timeout, this, &ProtocolLogWindow::catchUp);
}

void ProtocolLogWindow::catchUp() {
    const printerlink::ProtocolLog& log = session_.log;
    if (log.sequence() == shown_)
        return;
    bool complete = false;
    const QStringList fresh = log.linesAfter(shown_, &complete);
    if (!complete)
        view_->clear();
    shown_ = log.sequence();
    if (!fresh.isEmpty())
        view_->appendPlainText(fresh.join(u'\n'));
}

void ProtocolLogWindow::clearLog() {
    session_.log.clear();
    shown_ = 0;
    view_->clear();
}

void ProtocolLogWindow::saveLog() {
    const QString path =
        session_.dialogs.saveFile(QStringLiteral("Сохранить журнал обмена"),
                                  session_.workDir.filePath(QStringLiteral("inkwick-log.txt")),
                                  QStringLiteral("Текст (*.txt)|*.txt|Все файлы (*.*)|*.*"),
                                  Dialogs::OverwriteCheck::ByDialog);
    if (path.isEmpty())
        return;
    QByteArray text = session_.log.lines().join(QStringLiteral("\r\n")).toUtf8();
    if (!text.isEmpty())
        text += "\r\n";
    QSaveFile file(path);
    // Counted only when every byte reached the file: a full disk must not replace an old log
    // with a short one.
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.flush() ||
        !file.commit()) {
        session_.dialogs.error(QStringLiteral("Журнал не сохранён: ") + file.errorString());
    }
}

void ProtocolLogWindow::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    catchUp();
    timer_->start();
}

void ProtocolLogWindow::hideEvent(QHideEvent* e) {
    timer_->stop();
    QWidget::hideEvent(e);
}

} // namespace app
