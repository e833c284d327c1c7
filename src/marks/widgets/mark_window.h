// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/session.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QTableView;

namespace marks {

class MarkDocument;

// The field's text after an edit that put line breaks or NULs into it: the paste that ended at
// `cursor` keeps only its first line.
QString keepFirstPastedLine(const QString& text, int cursor);

// The whole content of the text-mark child window: the mark table, the fragment editor and the
// preview. It shows session.marks, which must be set before it is built; the shell adds the
// status bar below it.
class MarkWindow : public QWidget {
    Q_OBJECT
public:
    MarkWindow(printerlink::Session& session, QWidget* parent = nullptr);

    QTableView* table() const { return table_; }
    QComboBox* functionSelector() const { return function_; }
    QComboBox* fontSelector() const { return font_; }
    QLineEdit* textField() const { return text_; }
    QPushButton* changeButton() const { return change_; }
    QScrollArea* previewArea() const { return previewArea_; }
    QLabel* previewLabel() const { return preview_; }

    QSize sizeHint() const override;

private:
    void showEditor();
    void showSelectedRow(int row);
    void showPreview();

    MarkDocument& doc_;
    QTableView* table_;
    QComboBox* function_;
    QComboBox* font_;
    QLineEdit* text_;
    QPushButton* change_;
    QScrollArea* previewArea_;
    QLabel* preview_;
    bool showingSelection_ = false;
    bool showingDocument_ = false;
};

} // namespace marks
