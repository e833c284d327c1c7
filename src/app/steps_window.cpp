// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/steps_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace app {

StepsWindow::StepsWindow(const QString& title, QWidget* parent) : QDialog(parent) {
    setWindowTitle(title);
    setWindowModality(Qt::ApplicationModal);
    setMinimumWidth(360);
    item_ = new QLabel;
    item_->setAccessibleName(QStringLiteral("Текущий пункт"));
    bar_ = new QProgressBar;
    bar_->setFormat(QStringLiteral("%v из %m"));
    bar_->setAccessibleName(QStringLiteral("Ход выполнения"));
    stop_ = new QPushButton(QStringLiteral("Остановить"));
    stop_->setAutoDefault(false);
    stop_->setToolTip(QStringLiteral("Остановить после текущего пункта: начатая марка или "
                                     "логотип передаются целиком"));
    connect(stop_, &QPushButton::clicked, this, &StepsWindow::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(stop_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(item_);
    layout->addWidget(bar_);
    layout->addLayout(buttons);
}

void StepsWindow::show(int done, int total, const QString& item) {
    if (!stopRequested_)
        item_->setText(item);
    bar_->setRange(0, total);
    bar_->setValue(done);
    if (!isVisible())
        QDialog::show();
}

void StepsWindow::reject() {
    if (stopRequested_)
        return;
    stopRequested_ = true;
    stop_->setEnabled(false);
    item_->setText(QStringLiteral("Остановка после текущего пункта..."));
}

} // namespace app
