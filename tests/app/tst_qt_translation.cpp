// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt_translation.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTest>

class TestQtTranslation : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(app::loadQtTranslation(*qApp)); }

    void standardButtons_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("text");
        QTest::newRow("save") << int(QDialogButtonBox::Save) << "Сохранить";
        QTest::newRow("open") << int(QDialogButtonBox::Open) << "Открыть";
        QTest::newRow("cancel") << int(QDialogButtonBox::Cancel) << "Отмена";
    }
    void standardButtons() {
        QFETCH(int, button);
        QFETCH(QString, text);
        QDialogButtonBox box{QDialogButtonBox::StandardButtons(button)};
        QCOMPARE(box.buttons().first()->text().remove('&'), text);
    }

    // The dialog the file commands open, as the user sees it.
    void fileDialogSpeaksRussian_data() {
        QTest::addColumn<bool>("save");
        QTest::addColumn<QString>("accept");
        QTest::newRow("open") << false << "Открыть";
        QTest::newRow("save") << true << "Сохранить";
    }
    void fileDialogSpeaksRussian() {
        QFETCH(bool, save);
        QFETCH(QString, accept);
        QFileDialog d(nullptr, "T", QDir::tempPath(), "*.mrt");
        d.setOption(QFileDialog::DontUseNativeDialog);
        d.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        auto* box = d.findChild<QDialogButtonBox*>();
        QVERIFY(box);
        QStringList texts;
        for (QAbstractButton* b : box->buttons())
            texts << b->text().remove('&');
        QVERIFY2(texts.contains(accept), qPrintable(texts.join(", ")));
        QVERIFY2(texts.contains("Отмена"), qPrintable(texts.join(", ")));
        QStringList labels;
        for (QLabel* l : d.findChildren<QLabel*>())
            labels << l->text().remove('&');
        QVERIFY2(!labels.contains("Look in:") && !labels.contains("File name:"),
                 qPrintable(labels.join(", ")));
    }
};

QTEST_MAIN(TestQtTranslation)
#include "tst_qt_translation.moc"
