// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/picture_import_window.h"

#include "logos/logo_document.h"
#include "logos/zoom_picture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace logos;

namespace app {

namespace {

// Room for 32 rows of the zoom and the scroll bar below them.
constexpr int PreviewHeight = ZoomScale * MaxLogoHeight + 1 + 18;

QString onScreen(QString text) {
    return text.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
}

} // namespace

DotPreview::DotPreview(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void DotPreview::setDots(const QImage& dots) {
    dots_ = dots;
    const int columns = std::min(dots.width(), ZoomColumns);
    setFixedSize(ZoomScale * columns + 1, ZoomScale * dots.height() + 1);
    update();
}

void DotPreview::paintEvent(QPaintEvent* e) {
    QPainter painter(this);
    paintZoom(painter, e->rect(), dots_, dots_.size());
}

PictureImportWindow::PictureImportWindow(const WorkingPicture& picture, const QString& name,
                                         QWidget* parent)
    : QDialog(parent), picture_(picture) {
    setWindowTitle(QStringLiteral("Импорт рисунка"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setFixedSize(780, 540);

    auto* info = new QLabel(pictureInfoText(name, picture.sourceSize));
    preview_ = new DotPreview;
    scroll_ = new QScrollArea;
    scroll_->setWidget(preview_);
    scroll_->setFixedHeight(PreviewHeight);
    scroll_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    scroll_->setBackgroundRole(QPalette::Dark);

    height_ = new QSpinBox;
    height_->setRange(1, MaxLogoHeight);
    height_->setValue(MaxLogoHeight);
    widthByHand_ = new QCheckBox(QStringLiteral("Ширина вручную:"));
    width_ = new QSpinBox;
    width_->setRange(1, MaxImportWidth);
    width_->setEnabled(false);
    trim_ = new QCheckBox(QStringLiteral("Обрезать белые поля"));
    automatic_ = new QCheckBox(QStringLiteral("Порог автоматически"));
    automatic_->setChecked(true);
    threshold_ = new QSlider(Qt::Horizontal);
    threshold_->setRange(0, 255);
    threshold_->setValue(128);
    threshold_->setEnabled(false);
    thresholdValue_ = new QLabel;
    thresholdValue_->setMinimumWidth(30);
    dithering_ = new QComboBox;
    dithering_->addItem(QStringLiteral("без растра"), int(Dithering::None));
    dithering_->addItem(QStringLiteral("Флойд-Стейнберг"), int(Dithering::FloydSteinberg));
    dithering_->addItem(QStringLiteral("упорядоченный (Байер 4 x 4)"), int(Dithering::Bayer));
    invert_ = new QCheckBox(QStringLiteral("Инверсия"));

    auto* controls = new QGridLayout;
    controls->addWidget(new QLabel(QStringLiteral("Высота, точек:")), 0, 0);
    controls->addWidget(height_, 0, 1);
    controls->addWidget(widthByHand_, 0, 2);
    controls->addWidget(width_, 0, 3);
    controls->addWidget(trim_, 0, 4, 1, 2);
    controls->addWidget(automatic_, 1, 0, 1, 2);
    controls->addWidget(threshold_, 1, 2, 1, 1);
    controls->addWidget(thresholdValue_, 1, 3);
    controls->addWidget(dithering_, 1, 4);
    controls->addWidget(invert_, 1, 5);
    controls->setColumnStretch(2, 1);

    resultLabel_ = new QLabel;
    splitLabel_ = new QLabel;
    splitLabel_->setWordWrap(true);
    splitLabel_->setStyleSheet(QStringLiteral("color: #a04000;"));

    ok_ = new QPushButton(QStringLiteral("OK"));
    ok_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("Отмена"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(info);
    layout->addWidget(scroll_);
    layout->addLayout(controls);
    layout->addWidget(resultLabel_);
    layout->addWidget(splitLabel_, 1);
    layout->addLayout(buttons);

    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    auto changed = [this] { render(); };
    connect(height_, &QSpinBox::valueChanged, this, changed);
    connect(width_, &QSpinBox::valueChanged, this, changed);
    connect(widthByHand_, &QCheckBox::toggled, this, [this](bool byHand) {
        width_->setEnabled(byHand);
        render();
    });
    connect(automatic_, &QCheckBox::toggled, this, [this](bool automatic) {
        threshold_->setEnabled(!automatic);
        render();
    });
    connect(threshold_, &QSlider::valueChanged, this, changed);
    connect(dithering_, &QComboBox::currentIndexChanged, this, changed);
    connect(invert_, &QCheckBox::toggled, this, changed);
    connect(trim_, &QCheckBox::toggled, this, changed);
    render();
}

ConversionOptions PictureImportWindow::options() const {
    ConversionOptions o;
    o.height = height_->value();
    o.width = widthByHand_->isChecked() ? width_->value() : 0;
    o.threshold = automatic_->isChecked() ? AutomaticThreshold : threshold_->value();
    o.dithering = Dithering(dithering_->currentData().toInt());
    o.invert = invert_->isChecked();
    o.trim = trim_->isChecked();
    return o;
}

void PictureImportWindow::render() {
    result_ = convertWorking(picture_, options());
    preview_->setDots(result_.dots);
    // The width box follows the aspect ratio until it is set by hand; the slider shows the
    // automatic threshold it would start from.
    if (!widthByHand_->isChecked()) {
        const QSignalBlocker block(width_);
        width_->setValue(result_.dots.width());
    }
    if (automatic_->isChecked()) {
        const QSignalBlocker block(threshold_);
        threshold_->setValue(result_.threshold);
    }
    thresholdValue_->setText(QString::number(result_.threshold));
    resultLabel_->setText(resultText(result_.dots.size(), result_.dotCount));
    splitLabel_->setText(onScreen(splitNoticeText(result_.dots.size())));
}

std::optional<ConversionOptions> QtPictureImport::choose(const WorkingPicture& picture,
                                                         const QString& name) {
    PictureImportWindow w(picture, name, parent_);
    const bool accepted = w.exec() == QDialog::Accepted;
    if (parent_) {
        parent_->raise();
        parent_->activateWindow();
    }
    if (!accepted)
        return std::nullopt;
    return w.options();
}

} // namespace app
