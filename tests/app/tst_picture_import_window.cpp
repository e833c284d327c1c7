// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_window.h"
#include "app/picture_import_window.h"
#include "logos/logo_document.h"
#include "test_rig.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace app;
using namespace platform;

namespace {

// Runs `act` on the import window once it is up (inside its own event loop).
void whenImportWindowShows(const std::function<void(PictureImportWindow&)>& act) {
    auto tries = std::make_shared<int>(0);
    auto look = std::make_shared<std::function<void()>>();
    *look = [act, tries, look] {
        if (auto* w = qobject_cast<PictureImportWindow*>(QApplication::activeModalWidget())) {
            act(*w);
            // A check that failed inside `act` returned before its button: close it anyway.
            if (w->isVisible())
                w->reject();
            return;
        }
        if (++*tries < 500)
            QTimer::singleShot(10, *look);
    };
    QTimer::singleShot(0, *look);
}

} // namespace

class TestPictureImportWindow : public QObject {
    Q_OBJECT
private slots:
    // The menu item, the file, the dialog's controls and preview, OK; then undo from the menu.
    void importThroughTheDialogAndUndo() {
        TestRig rig;
        MainWindow window(rig.port, rig.clock, rig.dialogs, rig.catalogue);
        window.startUp(rig.dir.path(), rig.dir.path(), false);
        window.show();
        window.runCommand(CommandId::GraphicWindow);
        QImage picture(800, 200, QImage::Format_RGB32);
        picture.fill(Qt::white);
        QPainter(&picture).fillRect(0, 0, 200, 200, QColor(40, 40, 40));
        const QString file = rig.dir.filePath(QStringLiteral("logo.png"));
        QVERIFY(picture.save(file));
        rig.dialogs.answer(file);

        bool seen = false;
        QString result;
        QString split;
        QImage previewed;
        whenImportWindowShows([&](PictureImportWindow& w) {
            seen = true;
            // 32 dots high and 128 wide by the aspect ratio at first.
            QCOMPARE(w.widthBox()->value(), 128);
            QVERIFY(!w.splitLabel()->text().isEmpty());
            w.heightBox()->setValue(16);
            w.automaticThreshold()->setChecked(false);
            w.thresholdSlider()->setValue(30); // the dark grey is lighter than that
            QCOMPARE(w.resultLabel()->text(),
                     QStringLiteral("Результат: 64 x 16 точек, активных капель: 0"));
            w.thresholdSlider()->setValue(200);
            result = w.resultLabel()->text();
            split = w.splitLabel()->text();
            previewed = w.preview()->dots();
            QCOMPARE(w.preview()->size(), QSize(641, 161));
            w.okButton()->click();
        });
        window.runCommand(CommandId::ImportPicture);
        QVERIFY(seen);
        QCOMPARE(result, QStringLiteral("Результат: 64 x 16 точек, активных капель: 256"));
        QCOMPARE(split, QString()); // 128 bytes fit one slot
        logos::LogoDocument& logo = *window.session().logo;
        QCOMPARE(logo.size(), QSize(64, 16));
        QCOMPARE(logo.logoPicture(), previewed);
        QVERIFY(logo.isModified());

        window.runCommand(CommandId::UndoLogo);
        QCOMPARE(logo.size(), QSize(64, 24));
        QCOMPARE(logo.countBlackDots(), 0);
        QVERIFY(!logo.isModified());
        QVERIFY(rig.dialogs.unexpected.isEmpty());
    }

    void cancelLeavesTheLogoAlone() {
        TestRig rig;
        MainWindow window(rig.port, rig.clock, rig.dialogs, rig.catalogue);
        window.startUp(rig.dir.path(), rig.dir.path(), false);
        window.show();
        window.runCommand(CommandId::GraphicWindow);
        QImage picture(50, 50, QImage::Format_RGB32);
        picture.fill(Qt::black);
        const QString file = rig.dir.filePath(QStringLiteral("black.jpg"));
        QVERIFY(picture.save(file));
        rig.dialogs.answer(file);
        whenImportWindowShows([](PictureImportWindow& w) { w.cancelButton()->click(); });
        window.runCommand(CommandId::ImportPicture);
        QCOMPARE(window.session().logo->size(), QSize(64, 24));
        QVERIFY(!window.session().logo->isModified());
    }
};

QTEST_MAIN(TestPictureImportWindow)
#include "tst_picture_import_window.moc"
