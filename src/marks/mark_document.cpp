// SPDX-License-Identifier: GPL-3.0-or-later
#include "marks/mark_document.h"

#include "marks/mark_preview.h"

namespace marks {

MarkDocument::MarkDocument(QObject* parent)
    : QObject(parent), functionText_(functionNames().first()), fontText_(fontNames().at(2)),
      preview_(blankPreview()) {
    connect(&model_, &MarkModel::rowsReplaced, this, [this] { setCanSaveAs(true); });
}

void MarkDocument::setFunctionText(const QString& text) {
    if (text == functionText_)
        return;
    functionText_ = text;
    emit editorChanged();
}

void MarkDocument::setFontText(const QString& text) {
    if (text == fontText_)
        return;
    fontText_ = text;
    emit editorChanged();
}

void MarkDocument::setFragmentText(const QString& text) {
    if (text == fragmentText_)
        return;
    fragmentText_ = text;
    emit editorChanged();
}

void MarkDocument::selectRow(int row) {
    if (row < -1 || row >= kFragmentCount || row == selectedRow_)
        return;
    selectedRow_ = row;
    emit selectedRowChanged(row);
}

void MarkDocument::clickRow(int row) {
    if (row < 0 || row >= kFragmentCount)
        return;
    selectRow(row);
    selectedFragment_ = model_.cellText(row, NumberColumn);

    // A "?" or a three-digit code left by a mark read matches no entry: keep the selection.
    const QString function = model_.cellText(row, FunctionColumn);
    for (const QString& name : functionNames()) {
        if (name.compare(function, Qt::CaseInsensitive) == 0)
            functionText_ = name;
    }
    // Likewise a font outside the selector's range keeps the font selector as it was.
    const int font = fontNumberOfText(model_.cellText(row, FontColumn));
    if (font >= 0 && font < kFontCount)
        fontText_ = fontNames().at(font);
    fragmentText_ = model_.cellText(row, TextColumn);
    emit editorChanged();
}

void MarkDocument::applyEditor() {
    const int row = selectedRow_;
    if (row < 0)
        return;
    // The text field keeps what was typed; only the table is cut to the record's limit.
    const QString text = fragmentText_.left(kMaxTextLength);
    model_.setCellText(row, FunctionColumn, functionText_);
    model_.setCellText(row, FontColumn, QLatin1Char(' ') + fontText_.right(2));
    model_.setCellText(row, TextColumn, text);
    model_.setCellText(row, FreeColumn, freePlacesText(text));
    redrawPreview();
}

void MarkDocument::setCurrentFile(const QString& name, FileOrigin origin) {
    currentFile_ = name;
    emit fileChanged(name, origin);
    setCanSave(!name.isEmpty() && name != QLatin1String(kScratchMarkFile));
}

void MarkDocument::setCanSave(bool can) {
    if (can == canSave_)
        return;
    canSave_ = can;
    emit canSaveChanged(can);
}

void MarkDocument::setCanSaveAs(bool can) {
    if (can == canSaveAs_)
        return;
    canSaveAs_ = can;
    emit canSaveAsChanged(can);
}

void MarkDocument::redrawPreview() {
    drawMarkPreview(preview_, model_.rows());
    emit previewChanged();
}

} // namespace marks
