// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/app_settings.h"
#include "app/qt_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using app::AppSettings;

class TestAppSettings : public QObject {
    Q_OBJECT
private slots:
    void keptAcrossInstances() {
        QTemporaryDir dir;
        const QString file = dir.filePath("inkwick.conf");
        {
            AppSettings s(file);
            QCOMPARE(s.lastPort(), QString());
            QCOMPARE(s.baudRate(), 0);
            QCOMPARE(s.folder("marks"), QString());
            s.setLastPort("/dev/ttyUSB1");
            s.setBaudRate(38400);
            s.setFolder("marks", "/srv/marks");
            s.setFolder("pictures", "/srv/logos");
        }
        AppSettings again(file);
        QCOMPARE(again.lastPort(), QStringLiteral("/dev/ttyUSB1"));
        QCOMPARE(again.baudRate(), 38400);
        QCOMPARE(again.folder("marks"), QStringLiteral("/srv/marks"));
        QCOMPARE(again.folder("pictures"), QStringLiteral("/srv/logos"));
    }

    void onlyOfferedRatesComeBack_data() {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("read");
        QTest::newRow("9600") << 9600 << 9600;
        QTest::newRow("115200") << 115200 << 115200;
        QTest::newRow("4800 is not offered") << 4800 << 0;
        QTest::newRow("garbage") << -1 << 0;
    }
    void onlyOfferedRatesComeBack() {
        QFETCH(int, stored);
        QFETCH(int, read);
        QTemporaryDir dir;
        AppSettings s(dir.filePath("inkwick.conf"));
        s.setBaudRate(stored);
        QCOMPARE(s.baudRate(), read);
    }

    // Each kind of file dialog opens where the last one of its kind was left.
    void fileDialogsRememberTheirFolder() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("marks"));
        QVERIFY(QDir(dir.path()).mkpath("work"));
        const QString marks = QDir(dir.filePath("marks")).canonicalPath();
        const QString work = QDir(dir.filePath("work")).canonicalPath();
        const QString previous = QDir::currentPath();
        QDir::setCurrent(work);
        AppSettings settings(dir.filePath("inkwick.conf"));
        app::QtDialogs dialogs;
        dialogs.setSettings(&settings);
        const QString markFilter = QStringLiteral("Текстовые Марки (*.mrt)|*.mrt");
        const QString logoFilter = QStringLiteral("BMP-файлы (*.bmp)|*.bmp");

        // Answers the next file dialog with `file` and notes the folder it opened in.
        QString openedIn;
        auto answerWith = [&](const QString& file) {
            QTimer::singleShot(0, [&openedIn, file] {
                auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                QVERIFY(d);
                openedIn = QDir(d->directory()).canonicalPath();
                d->selectFile(file);
                d->setOption(QFileDialog::DontConfirmOverwrite);
                static_cast<QDialog*>(d)->accept();
            });
        };
        answerWith(marks + "/a.mrt");
        dialogs.saveFile("S", "mark.mrt", markFilter, platform::Dialogs::OverwriteCheck::ByCaller);
        QCOMPARE(openedIn, work);
        QCOMPARE(QDir(settings.folder(app::fileKind(markFilter))).canonicalPath(), marks);

        answerWith(work + "/logo.bmp");
        dialogs.saveFile("S", "logo.bmp", logoFilter, platform::Dialogs::OverwriteCheck::ByCaller);
        QCOMPARE(openedIn, work); // pictures have their own folder

        answerWith(marks + "/a.mrt");
        dialogs.saveFile("S", "mark.mrt", markFilter, platform::Dialogs::OverwriteCheck::ByCaller);
        QCOMPARE(openedIn, marks);
        QDir::setCurrent(previous);
    }

    void kinds_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("kind");
        QTest::newRow("open mark") << "Текстовые Марки (*.mrt)|*.mrt"
                                   << "marks";
        QTest::newRow("save mark") << "Файлы Текстовых Марок (*.mrt)|*.mrt"
                                   << "marks";
        QTest::newRow("open logo")
            << "Графика (*bmp,*bin,*pbm)|*.bmp;*.bin;*.pbm|BMP-файлы (*.bmp)|*.bmp"
            << "pictures";
        QTest::newRow("save logo") << "Файлы Логотипов (*.bin)|*.bin|BMP-файлы (*.bmp)|*.bmp"
                                   << "pictures";
    }
    void kinds() {
        QFETCH(QString, filter);
        QFETCH(QString, kind);
        QCOMPARE(app::fileKind(filter), kind);
    }
};

QTEST_MAIN(TestAppSettings)
#include "tst_app_settings.moc"
