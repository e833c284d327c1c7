// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QPlainTextEdit;
class QTimer;

namespace printerlink {
struct Session;
}

namespace app {

// "ЖУРНАЛ ОБМЕНА": the session's protocol log, catching up a few times a second while shown so
// that a transfer never waits for the text view.
class ProtocolLogWindow : public QWidget {
    Q_OBJECT
public:
    ProtocolLogWindow(printerlink::Session& session, QWidget* parent);

    QPlainTextEdit* view() const { return view_; }
    // Brings the view up to the log at once (the timer does it while the window is shown).
    void catchUp();
    void clearLog();
    void saveLog();

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    printerlink::Session& session_;
    QPlainTextEdit* view_ = nullptr;
    QTimer* timer_ = nullptr;
    qint64 shown_ = 0;
};

} // namespace app
