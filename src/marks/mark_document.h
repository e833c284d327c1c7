// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "marks/mark_model.h"

#include <QImage>
#include <QObject>
#include <QString>

namespace marks {

// How the current file came to be: an opened file's name is shown shortened.
enum class FileOrigin { Opened, SavedAs };

// The text-mark side of the session: the mark table model, the fragment editor's state, the
// selected row and fragment number, the current mark file and the preview picture. Windows
// follow it through its signals; commands change it through its methods.
// The file a new mark starts in, in the working folder.
inline const char* const kScratchMarkFile = "tmpmark.mrt";

class MarkDocument : public QObject {
    Q_OBJECT
public:
    explicit MarkDocument(QObject* parent = nullptr);

    MarkModel& model() { return model_; }
    const MarkModel& model() const { return model_; }

    // Fragment editor: the selectors' texts and the text field's content.
    QString functionText() const { return functionText_; }
    QString fontText() const { return fontText_; }
    QString fragmentText() const { return fragmentText_; }
    void setFunctionText(const QString& text);
    void setFontText(const QString& text);
    void setFragmentText(const QString& text);

    // "00" until a row is clicked: the address of a fragment write.
    QString selectedFragment() const { return selectedFragment_; }
    // -1 when no row is selected.
    int selectedRow() const { return selectedRow_; }
    // Selects a row without the effects of a click.
    void selectRow(int row);
    // A left click on a row: selects it and loads it into the fragment editor.
    void clickRow(int row);
    // "ИЗМЕНИТЬ": stores the editor into the selected row and redraws the preview.
    void applyEditor();

    // The file the mark was last loaded from or saved to with "save as"; "" at start.
    QString currentFile() const { return currentFile_; }
    void setCurrentFile(const QString& name, FileOrigin origin);
    // "Save changes" has a file of the user's to write the mark to: not the scratch file a new
    // mark starts in.
    bool canSave() const { return canSave_; }
    // There is a mark worth saving under a new name: a whole one came from a file or the printer.
    bool canSaveAs() const { return canSaveAs_; }

    const QImage& preview() const { return preview_; }
    void redrawPreview();

signals:
    void editorChanged();
    void selectedRowChanged(int row);
    void previewChanged();
    void fileChanged(const QString& name, marks::FileOrigin origin);
    void canSaveChanged(bool can);
    void canSaveAsChanged(bool can);

private:
    MarkModel model_;
    QString functionText_;
    QString fontText_;
    QString fragmentText_;
    QString selectedFragment_ = QStringLiteral("00");
    int selectedRow_ = -1;
    QString currentFile_;
    bool canSave_ = false;
    bool canSaveAs_ = false;
    QImage preview_;

    void setCanSave(bool can);
    void setCanSaveAs(bool can);
};

} // namespace marks
