// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logos/picture_import.h"

#include <QDialog>
#include <QPointer>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QSlider;
class QSpinBox;

namespace app {

// The dots of the conversion as the editor shows them, 10 pixels a dot with its grid.
class DotPreview : public QWidget {
    Q_OBJECT
public:
    explicit DotPreview(QWidget* parent = nullptr);
    void setDots(const QImage& dots);
    const QImage& dots() const { return dots_; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QImage dots_;
};

// "Импорт рисунка": height, width, threshold, dithering, invert and trim, with the result
// redrawn from the working picture on every change.
class PictureImportWindow : public QDialog {
    Q_OBJECT
public:
    PictureImportWindow(const logos::WorkingPicture& picture, const QString& name, QWidget* parent);

    logos::ConversionOptions options() const;
    const logos::ConvertedPicture& result() const { return result_; }

    QSpinBox* heightBox() const { return height_; }
    QCheckBox* widthByHand() const { return widthByHand_; }
    QSpinBox* widthBox() const { return width_; }
    QCheckBox* automaticThreshold() const { return automatic_; }
    QSlider* thresholdSlider() const { return threshold_; }
    QComboBox* ditheringBox() const { return dithering_; }
    QCheckBox* invertBox() const { return invert_; }
    QCheckBox* trimBox() const { return trim_; }
    QLabel* resultLabel() const { return resultLabel_; }
    QLabel* splitLabel() const { return splitLabel_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }
    DotPreview* preview() const { return preview_; }

private:
    void render();

    const logos::WorkingPicture& picture_;
    logos::ConvertedPicture result_;
    QSpinBox* height_ = nullptr;
    QCheckBox* widthByHand_ = nullptr;
    QSpinBox* width_ = nullptr;
    QCheckBox* automatic_ = nullptr;
    QSlider* threshold_ = nullptr;
    QLabel* thresholdValue_ = nullptr;
    QComboBox* dithering_ = nullptr;
    QCheckBox* invert_ = nullptr;
    QCheckBox* trim_ = nullptr;
    QLabel* resultLabel_ = nullptr;
    QLabel* splitLabel_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    DotPreview* preview_ = nullptr;
};

// The import dialog on top of the main window.
class QtPictureImport : public logos::PictureImportDialog {
public:
    void setParentWindow(QWidget* w) { parent_ = w; }
    std::optional<logos::ConversionOptions> choose(const logos::WorkingPicture& picture,
                                                   const QString& name) override;

private:
    QPointer<QWidget> parent_;
};

} // namespace app
