// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt_dialogs.h"
#include "app/steps_window.h"

#include <QApplication>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace platform;

using app::MessageWindow;
using app::PromptWindow;
using app::QtDialogs;

namespace {

template <typename T> T* openDialog() {
    return qobject_cast<T*>(QApplication::activeModalWidget());
}

// Runs `steps` on the dialog once it is up.
void whenShown(std::function<void()> steps) {
    QTimer::singleShot(0, steps);
}

void stampedKey(QWidget* w, QEvent::Type type, int key, quint64 stamp) {
    QKeyEvent e(type, key, Qt::NoModifier);
    e.setTimestamp(stamp);
    QApplication::sendEvent(w, &e);
}

void autoRepeatPress(QWidget* w, int key) {
    QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(w, &e);
}

} // namespace

class TestQtDialogs : public QObject {
    Q_OBJECT
private slots:
    void init() { app::followInputTime(); }
    // Whatever a row left pressed is let go, as a user's fingers would.
    void cleanup() {
        QWidget w;
        w.show();
        for (int key : app::keysDown()) {
            QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
            QApplication::sendEvent(&w, &release);
        }
        QVERIFY(app::keysDown().isEmpty());
    }

    void layouts_data() {
        QTest::addColumn<int>("layout");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRect>("edit");
        QTest::addColumn<QRect>("ok");
        QTest::addColumn<QString>("cancel");
        QTest::newRow("requester") << int(PromptWindow::Layout::Requester) << QSize(300, 130)
                                   << QRect(10, 32, 275, 21) << QRect(110, 67, 80, 25) << QString();
        QTest::newRow("prompt") << int(PromptWindow::Layout::Prompt) << QSize(357, 110)
                                << QRect(9, 79, 339, 20) << QRect(288, 8, 60, 23)
                                << QStringLiteral("Cancel");
        QTest::newRow("port prompt")
            << int(PromptWindow::Layout::PortPrompt) << QSize(420, 140) << QRect(9, 93, 300, 20)
            << QRect(340, 73, 60, 23) << QStringLiteral("Отмена");
    }
    void layouts() {
        QFETCH(int, layout);
        QFETCH(QSize, size);
        QFETCH(QRect, edit);
        QFETCH(QRect, ok);
        QFETCH(QString, cancel);
        PromptWindow w(PromptWindow::Layout(layout), "T", "COM1:\t/dev/x\t\tSim\n", "Prompt", "15",
                       nullptr);
        QCOMPARE(w.size(), size);
        QCOMPARE(w.minimumSize(), w.maximumSize());
        QCOMPARE(w.edit()->geometry(), edit);
        QCOMPARE(w.okButton()->geometry(), ok);
        QCOMPARE(w.okButton()->text(), QStringLiteral("OK"));
        QVERIFY(w.okButton()->isDefault());
        QCOMPARE(w.cancelButton() ? w.cancelButton()->text() : QString(), cancel);
        QCOMPARE(w.edit()->text(), QStringLiteral("15"));
        QCOMPARE(w.edit()->selectedText(), QStringLiteral("15"));
        QVERIFY(w.windowFlags() & Qt::WindowStaysOnTopHint);
    }

    void aLongPortListGrowsThePrompt() {
        QString list;
        for (int i = 1; i <= 9; ++i)
            list += QStringLiteral("COM%1:\t/dev/ttyUSB%1\t\tUSB Serial Adapter\n").arg(i);
        PromptWindow w(PromptWindow::Layout::PortPrompt, "T", list, "Prompt", "1", nullptr);
        QVERIFY(w.height() > 140);
        // The controls keep their places relative to each other.
        QCOMPARE(w.okButton()->y() - w.edit()->y(), 73 - 93);
        QVERIFY(w.edit()->geometry().bottom() < w.height());
    }

    void promptAnswers_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("result");
        QTest::newRow("enter keeps the default") << "enter"
                                                 << "7";
        QTest::newRow("typed and enter") << "type"
                                         << "712";
        QTest::newRow("ok button") << "ok"
                                   << "7";
        QTest::newRow("escape") << "escape"
                                << "";
        QTest::newRow("cancel button") << "cancel"
                                       << "";
        QTest::newRow("close box") << "close"
                                   << "";
        QTest::newRow("auto-repeat is no answer") << "repeat"
                                                  << "7";
        QTest::newRow("a press from before the opening") << "stale"
                                                         << "7";
        // A held key's repeat can arrive as a plain release and press with one time stamp.
        QTest::newRow("repeat known by its stamps") << "same stamps"
                                                    << "7";
        // Some systems repeat a held key as plain presses, without releases between.
        QTest::newRow("held across the opening") << "held"
                                                 << "7";
    }
    void promptAnswers() {
        QFETCH(QString, how);
        QFETCH(QString, result);
        QWidget before;
        before.show();
        if (how == QLatin1String("held"))
            QTest::keyPress(&before, Qt::Key_Return);
        if (how == QLatin1String("same stamps"))
            stampedKey(&before, QEvent::KeyPress, Qt::Key_Return, 100000);
        if (how == QLatin1String("stale"))
            stampedKey(&before, QEvent::KeyRelease, Qt::Key_Escape,
                       1000); // the clock of the stamps
        QStringList log;
        whenShown([&] {
            auto* w = openDialog<PromptWindow>();
            QVERIFY(w);
            QLineEdit* e = w->edit();
            if (how == QLatin1String("enter")) {
                QTest::keyClick(e, Qt::Key_Return);
            } else if (how == QLatin1String("type")) {
                QTest::keyClick(e, Qt::Key_End);
                QTest::keyClicks(e, QStringLiteral("12"));
                QTest::keyClick(e, Qt::Key_Enter);
            } else if (how == QLatin1String("ok")) {
                QTest::mouseClick(w->okButton(), Qt::LeftButton);
            } else if (how == QLatin1String("escape")) {
                QTest::keyClick(e, Qt::Key_Escape);
            } else if (how == QLatin1String("cancel")) {
                QTest::mouseClick(w->cancelButton(), Qt::LeftButton);
            } else if (how == QLatin1String("close")) {
                w->close();
            } else if (how == QLatin1String("repeat")) {
                autoRepeatPress(e, Qt::Key_Return);
                autoRepeatPress(e, Qt::Key_Escape);
                QTest::keyRelease(e, Qt::Key_Escape); // the held keys let go
                QTest::keyRelease(e, Qt::Key_Return);
                log << (w->isVisible() ? "still open" : "closed");
                QTest::keyClick(e, Qt::Key_Return);
            } else if (how == QLatin1String("same stamps")) {
                stampedKey(e, QEvent::KeyRelease, Qt::Key_Return, 100600);
                stampedKey(e, QEvent::KeyPress, Qt::Key_Return, 100600);
                stampedKey(e, QEvent::KeyRelease, Qt::Key_Return, 100640);
                stampedKey(e, QEvent::KeyPress, Qt::Key_Return, 100640);
                stampedKey(e, QEvent::KeyRelease, Qt::Key_Return, 100700); // let go at last
                log << (w->isVisible() ? "still open" : "closed");
                stampedKey(e, QEvent::KeyPress, Qt::Key_Return, 101000);
                stampedKey(e, QEvent::KeyRelease, Qt::Key_Return, 101100);
            } else if (how == QLatin1String("held")) {
                QTest::keyPress(e, Qt::Key_Return);
                QTest::keyPress(e, Qt::Key_Return);
                QTest::keyRelease(e, Qt::Key_Return);
                log << (w->isVisible() ? "still open" : "closed");
                QTest::keyClick(e, Qt::Key_Return);
            } else if (how == QLatin1String("stale")) {
                stampedKey(e, QEvent::KeyPress, Qt::Key_Return, 999);
                stampedKey(e, QEvent::KeyRelease, Qt::Key_Return, 1000);
                log << (w->isVisible() ? "still open" : "closed");
                stampedKey(e, QEvent::KeyPress, Qt::Key_Return, 1000 + 60000);
                stampedKey(e, QEvent::KeyRelease, Qt::Key_Return, 1000 + 60100);
            }
            if (w->isVisible()) { // an answer that did not count: no hanging test
                log << "never answered";
                w->close();
            }
        });
        QtDialogs dialogs;
        dialogs.setParentWindow(&before);
        QCOMPARE(dialogs.promptDialog("T", "P", "7"), result);
        if (how == QLatin1String("repeat") || how == QLatin1String("stale") ||
            how == QLatin1String("held") || how == QLatin1String("same stamps"))
            QCOMPARE(log, QStringList{"still open"});
        else
            QVERIFY(log.isEmpty());
    }

    // The key that answered one dialog answers the next one too, when the second opens before
    // the key's release was handled.
    void oneKeyPerDialogInARow() {
        QtDialogs dialogs;
        QStringList results;
        auto answerByEnter = [] {
            whenShown([] {
                auto* w = openDialog<PromptWindow>();
                QVERIFY(w);
                QTest::keyClick(w->edit(), Qt::Key_Return);
                if (w->isVisible())
                    w->close();
            });
        };
        answerByEnter();
        results << dialogs.inputRequester("A", "P", "1");
        answerByEnter();
        results << dialogs.inputRequester("B", "P", "2");
        QCOMPARE(results, (QStringList{"1", "2"}));
    }

    void messageAnswers_data() {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("answer");
        const int yn = int(MessageButtons::YesNo), ync = int(MessageButtons::YesNoCancel),
                  ok = int(MessageButtons::Ok);
        QTest::newRow("enter is yes") << yn << int(Qt::Key_Return) << int(MessageAnswer::Yes);
        QTest::newRow("y") << yn << int(Qt::Key_Y) << int(MessageAnswer::Yes);
        QTest::newRow("Д") << yn << 0x0414 << int(MessageAnswer::Yes);
        QTest::newRow("n") << yn << int(Qt::Key_N) << int(MessageAnswer::No);
        QTest::newRow("escape is no") << yn << int(Qt::Key_Escape) << int(MessageAnswer::No);
        QTest::newRow("escape cancels") << ync << int(Qt::Key_Escape) << int(MessageAnswer::Cancel);
        QTest::newRow("ok by enter") << ok << int(Qt::Key_Return) << int(MessageAnswer::Ok);
        QTest::newRow("ok by escape") << ok << int(Qt::Key_Escape) << int(MessageAnswer::Ok);
        QTest::newRow("letters do not answer OK") << ok << int(Qt::Key_N) << -1;
    }
    void messageAnswers() {
        QFETCH(int, buttons);
        QFETCH(int, key);
        QFETCH(int, answer);
        bool stillOpen = false;
        whenShown([&] {
            auto* w = openDialog<MessageWindow>();
            QVERIFY(w);
            // Keys reach the focused button, as typed ones do.
            QWidget* target = w->focusWidget() ? w->focusWidget() : w;
            const QString text = key > 0xff && key <= 0xffff ? QString(QChar(key)) : QString();
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
            QApplication::sendEvent(target, &press);
            QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
            QApplication::sendEvent(target, &release);
            stillOpen = w->isVisible();
            if (stillOpen)
                w->close();
        });
        QtDialogs dialogs;
        const MessageAnswer a =
            dialogs.messageBox("T", "Текст", MessageIcon::Error, MessageButtons(buttons));
        QCOMPARE(stillOpen, answer < 0);
        if (answer >= 0)
            QCOMPARE(int(a), answer);
    }

    void fileDialogs_data() {
        QTest::addColumn<bool>("save");
        QTest::addColumn<bool>("callerAsks"); // the command asks about overwriting itself
        QTest::newRow("open") << false << false;
        QTest::newRow("save, dialog asks") << true << false;
        QTest::newRow("save, caller asks") << true << true;
    }
    void fileDialogs() {
        QFETCH(bool, save);
        QFETCH(bool, callerAsks);
        QTemporaryDir dir;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        QFile existing(dir.filePath(QStringLiteral("mark.mrt")));
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.close();
        QStringList filters;
        bool onTop = false;
        bool dialogAsks = false;
        whenShown([&] {
            auto* d = openDialog<QFileDialog>();
            QVERIFY(d);
            filters = d->nameFilters();
            onTop = d->windowFlags() & Qt::WindowStaysOnTopHint;
            dialogAsks = !d->testOption(QFileDialog::DontConfirmOverwrite);
            d->setOption(QFileDialog::DontConfirmOverwrite);
            static_cast<QDialog*>(d)->accept();
        });
        QtDialogs dialogs;
        const QString filter = QStringLiteral("Текстовые Марки (*.mrt)|*.mrt|Все|*.*");
        const auto check =
            callerAsks ? Dialogs::OverwriteCheck::ByCaller : Dialogs::OverwriteCheck::ByDialog;
        const QString name = save ? dialogs.saveFile("S", "mark.mrt", filter, check)
                                  : dialogs.openFile("O", "mark.mrt", filter);
        QDir::setCurrent(previous);
        QCOMPARE(QFileInfo(name).canonicalFilePath(), QFileInfo(existing).canonicalFilePath());
        QCOMPARE(filters, (QStringList{"Текстовые Марки (*.mrt)", "Все (*.*)"}));
        QVERIFY(onTop);
        if (save)
            QCOMPARE(dialogAsks, !callerAsks);
    }

    void messageLooks_data() {
        QTest::addColumn<int>("icon");
        QTest::addColumn<bool>("hasIcon");
        QTest::addColumn<int>("buttons");
        QTest::addColumn<QStringList>("labels");
        QTest::newRow("error") << int(MessageIcon::Error) << true << int(MessageButtons::Ok)
                               << QStringList{"OK"};
        QTest::newRow("question") << int(MessageIcon::None) << false << int(MessageButtons::YesNo)
                                  << QStringList{"&Да", "&Нет"};
        QTest::newRow("three ways")
            << int(MessageIcon::Question) << true << int(MessageButtons::YesNoCancel)
            << QStringList{"&Да", "&Нет", "Отмена"};
    }
    void messageLooks() {
        QFETCH(int, icon);
        QFETCH(bool, hasIcon);
        QFETCH(int, buttons);
        QFETCH(QStringList, labels);
        MessageWindow w("Заголовок", "Строка 1\n\rСтрока 2\r\n\nМетка\t: 1", MessageIcon(icon),
                        MessageButtons(buttons), nullptr);
        QCOMPARE(w.windowTitle(), QStringLiteral("Заголовок"));
        QCOMPARE(w.findChild<QLabel*>(QStringLiteral("icon")) != nullptr, hasIcon);
        QStringList shown;
        for (QPushButton* b : w.findChildren<QPushButton*>())
            shown << b->text();
        QCOMPARE(shown, labels);
        QVERIFY(!w.textLabel()->wordWrap());
        QCOMPARE(w.textLabel()->textFormat(), Qt::RichText);
        QVERIFY(!w.textLabel()->text().contains(u'\r'));
        QVERIFY(w.textLabel()->text().contains(QStringLiteral("<table")));
    }

    // A list longer or wider than the screen scrolls inside the box; the buttons stay on it.
    void aLongMessageStaysOnTheScreen() {
        QWidget parent;
        QStringList lines;
        for (int n = 0; n < 200; ++n)
            lines << QStringLiteral("Логотип %1: отличается").arg(n, 3, 10, QLatin1Char('0'));
        lines << QString(300, u'x');
        MessageWindow w("Заголовок", lines.join("\n\r"), MessageIcon::Information,
                        MessageButtons::Ok, &parent);
        w.adjustSize();
        const QSize screen = parent.screen()->availableGeometry().size();
        QVERIFY2(w.width() <= screen.width() && w.height() <= screen.height(),
                 qPrintable(QStringLiteral("%1 x %2").arg(w.width()).arg(w.height())));
        QVERIFY(w.findChild<QScrollArea*>(QStringLiteral("scroll")));
    }

    // Placed last: the time it takes would shift the input clock the key tests above rely on.
    // Every prompt of the program, in the layout it is asked in, shows its whole text: each
    // line fits the label, and the label stays clear of the buttons, the edit field and the edge.
    void everyPromptReadsWhole_data() {
        QTest::addColumn<int>("layout");
        QTest::addColumn<QString>("prompt");
        const int requester = int(PromptWindow::Layout::Requester);
        const int prompt = int(PromptWindow::Layout::Prompt);
        const QStringList requesterPrompts = {
            "Введите Номер Марки: 0..85  ( 0- печатаемая марка )",
            "Введите Номер Строки (1...4)",
            "Введите Номер Фрагмента в Строке (1...8)",
            "Введите номер Логотипа (0..127)",
            "Input Logo Number (0..255)",
            "Введите размер 'Y' в точках (8...32)",
            "Введите размер 'X' в точках (1...250)",
            "Введите смещение даты в днях (0..9999)",
        };
        for (const QString& p : requesterPrompts)
            QTest::newRow(qPrintable("requester: " + p)) << requester << p;
        const QStringList promptPrompts = {
            "Введите размер 'X', точек (не более 256)",
            "Введите размер 'Y', точек (не более 32)",
            "Введите дату и время в формате\n\r     'ДДММГГ ЧЧММСС'",
            "Введите Число Строк Печати (1..4)",
        };
        for (const QString& p : promptPrompts)
            QTest::newRow(qPrintable("prompt: " + p)) << prompt << p;
        QTest::newRow("port prompt")
            << int(PromptWindow::Layout::PortPrompt) << "ВВЕДИТЕ НОМЕР COM-ПОРТА (1...255)";
        // Longer than any of today's, in each layout.
        const QString longer = QString(60, QChar(0x0428));
        QTest::newRow("long requester") << requester << longer;
        QTest::newRow("long prompt") << prompt << longer + "\n\r" + longer;
        QTest::newRow("long port prompt") << int(PromptWindow::Layout::PortPrompt) << longer;
    }
    void everyPromptReadsWhole() {
        QFETCH(int, layout);
        QFETCH(QString, prompt);
        PromptWindow w(PromptWindow::Layout(layout), "T", "COM1:\t/dev/x\t\tSim\n", prompt, "0",
                       nullptr);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QLabel* label = w.promptLabel();
        const QFontMetrics fm(label->font());
        const QStringList lines = prompt.split(QStringLiteral("\n\r"));
        for (const QString& line : lines)
            QVERIFY2(
                fm.horizontalAdvance(line) <= label->width(),
                qPrintable(
                    QStringLiteral("%1 > %2").arg(fm.horizontalAdvance(line)).arg(label->width())));
        const QRect text(label->pos(), QSize(label->width(), int(lines.size()) * fm.height()));
        QVERIFY(QRect(QPoint(), w.size()).contains(text));
        QVERIFY(text.bottom() < w.edit()->y());
        QVERIFY(!text.intersects(w.okButton()->geometry()));
        if (w.cancelButton())
            QVERIFY(!text.intersects(w.cancelButton()->geometry()));
        for (const QWidget* c :
             {static_cast<QWidget*>(w.edit()), static_cast<QWidget*>(w.okButton())})
            QVERIFY(QRect(QPoint(), w.size()).contains(c->geometry()));
    }

    // The stop button is seen at the next look between items, and the window goes with the
    // end of the series.
    void aSeriesShowsItsStepsAndCanBeStopped() {
        QtDialogs dialogs;
        QVERIFY(!dialogs.stopRequested());
        dialogs.showSteps(QStringLiteral("Резервная копия Маркиратора"), 4, 87,
                          QStringLiteral("Марка 05"));
        app::StepsWindow* w = dialogs.stepsWindow();
        QVERIFY(w && w->isVisible());
        QCOMPARE(w->itemLabel()->text(), QStringLiteral("Марка 05"));
        QCOMPARE(w->bar()->text(), QStringLiteral("4 из 87"));
        QVERIFY(!dialogs.stopRequested());

        QTest::mouseClick(w->stopButton(), Qt::LeftButton);
        QVERIFY(dialogs.stopRequested());
        dialogs.showSteps({}, 0, 0, {});
        QVERIFY(!dialogs.stepsWindow());
        QVERIFY(!dialogs.stopRequested());
    }
};

QTEST_MAIN(TestQtDialogs)
#include "tst_qt_dialogs.moc"
