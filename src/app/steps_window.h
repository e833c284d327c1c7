// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace app {

// How far a series (a backup, a restore) has got, with a button to stop it. Modal but not run
// by exec(): the series goes on underneath and looks at stopRequested() between its items.
class StepsWindow : public QDialog {
    Q_OBJECT
public:
    StepsWindow(const QString& title, QWidget* parent);
    // `done` items of `total` finished, `item` under way.
    void show(int done, int total, const QString& item);
    bool stopRequested() const { return stopRequested_; }

    QLabel* itemLabel() const { return item_; }
    QProgressBar* bar() const { return bar_; }
    QPushButton* stopButton() const { return stop_; }

protected:
    // Escape and the close box ask to stop, as the button does; the series closes the window.
    void reject() override;

private:
    QLabel* item_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QPushButton* stop_ = nullptr;
    bool stopRequested_ = false;
};

} // namespace app
