// SPDX-License-Identifier: GPL-3.0-or-later
#include "marks/widgets/mark_window.h"

#include "marks/mark_document.h"
#include "marks/mark_preview.h"

#include <QComboBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableView>
#include <QValidator>

using namespace printerlink;

namespace marks {

namespace {

// Positions of the control table, inside the child window.
const QRect kTableRect(20, 15, 760, 350);
// The selectors are a little wider than the original 110 and 90 so their longest entries show.
const QRect kFunctionRect(25, 390, 120, 20);
const QRect kFontRect(150, 390, 100, 20);
const QRect kTextRect(255, 388, 420, 25);
const QRect kChangeRect(695, 380, 80, 40);
const QRect kPreviewAreaRect(15, 430, 770, 110);
constexpr std::array<int, kColumnCount> kColumnWidths = {50, 90, 50, 505, 40};

bool breaksLine(QChar c) {
    return c == QLatin1Char('\n') || c == QLatin1Char('\r') || c.isNull();
}

// A fragment is one line of a mark file: of a multi-line paste only the first line stays. The
// program's own texts (a mark read from the printer) are shown as they are.
class FirstLineOfPaste : public QValidator {
public:
    FirstLineOfPaste(const bool& showAsIs, QObject* parent)
        : QValidator(parent), showAsIs_(showAsIs) {}

    State validate(QString& text, int& cursor) const override {
        if (showAsIs_)
            return Acceptable;
        const QString kept = keepFirstPastedLine(text, cursor);
        if (kept != text) {
            cursor = qMax(0, int(kept.size() - (text.size() - cursor)));
            text = kept;
        }
        return Acceptable;
    }

private:
    const bool& showAsIs_;
};

} // namespace

QString keepFirstPastedLine(const QString& text, int cursor) {
    qsizetype cut = 0;
    while (cut < text.size() && !breaksLine(text[cut]))
        ++cut;
    if (cut == text.size())
        return text;
    // What stood before the paste held no break, so the first one is the paste's own and the
    // paste ends at the cursor.
    const qsizetype pasteEnd = qBound<qsizetype>(cut, cursor, text.size());
    QString kept = text.left(cut) + text.mid(pasteEnd);
    kept.removeIf(breaksLine);
    return kept;
}

MarkWindow::MarkWindow(Session& session, QWidget* parent)
    : QWidget(parent), doc_(*session.marks), table_(new QTableView(this)),
      function_(new QComboBox(this)), font_(new QComboBox(this)), text_(new QLineEdit(this)),
      change_(new QPushButton(QStringLiteral("ИЗМЕНИТЬ"), this)),
      previewArea_(new QScrollArea(this)), preview_(new QLabel) {
    table_->setGeometry(kTableRect);
    table_->setModel(&doc_.model());
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 4);
    table_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    table_->horizontalHeader()->setHighlightSections(false);
    table_->setShowGrid(false);
    table_->setWordWrap(false);
    for (int c = 0; c < kColumnCount; ++c)
        table_->setColumnWidth(c, kColumnWidths[c]);

    function_->setGeometry(kFunctionRect);
    function_->addItems(functionNames());
    font_->setGeometry(kFontRect);
    font_->addItems(fontNames());

    text_->setGeometry(kTextRect);
    text_->setFont(QFont(QStringLiteral("Courier New"), 10));
    QPalette palette = text_->palette();
    palette.setColor(QPalette::Base, QColor(255, 255, 187));
    palette.setColor(QPalette::Text, Qt::black);
    text_->setPalette(palette);
    text_->setValidator(new FirstLineOfPaste(showingDocument_, text_));

    change_->setGeometry(kChangeRect);

    previewArea_->setGeometry(kPreviewAreaRect);
    auto* inner = new QWidget;
    inner->setFixedSize(kPreviewWidth, kPreviewHeight + 5);
    inner->setAutoFillBackground(true);
    preview_->setParent(inner);
    preview_->setGeometry(5, 5, kPreviewWidth, kPreviewHeight + 5);
    preview_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    previewArea_->setWidget(inner);

    table_->setAccessibleName(QStringLiteral("Фрагменты марки"));
    function_->setAccessibleName(QStringLiteral("Функция фрагмента"));
    font_->setAccessibleName(QStringLiteral("Шрифт фрагмента"));
    text_->setAccessibleName(QStringLiteral("Текст фрагмента"));
    change_->setAccessibleDescription(QStringLiteral("Записать поля в выбранный фрагмент марки"));
    previewArea_->setAccessibleName(QStringLiteral("Вид марки"));
    preview_->setAccessibleName(QStringLiteral("Вид марки"));
    previewArea_->horizontalScrollBar()->setSingleStep(160);

    // A row the user highlights, by click or by keyboard, is loaded into the editor and is the
    // fragment that "ИЗМЕНИТЬ" and a fragment write address; a row the program selects is not.
    connect(table_, &QTableView::clicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            doc_.clickRow(index.row());
    });
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const QModelIndexList rows = table_->selectionModel()->selectedRows();
        const int row = rows.isEmpty() ? -1 : rows.first().row();
        if (row >= 0 && !showingSelection_)
            doc_.clickRow(row);
        else
            doc_.selectRow(row);
    });
    connect(function_, &QComboBox::currentTextChanged, this,
            [this](const QString& t) { doc_.setFunctionText(t); });
    connect(font_, &QComboBox::currentTextChanged, this,
            [this](const QString& t) { doc_.setFontText(t); });
    connect(text_, &QLineEdit::textChanged, this,
            [this](const QString& t) { doc_.setFragmentText(t); });
    connect(change_, &QPushButton::clicked, this, [this] { doc_.applyEditor(); });

    connect(&doc_, &MarkDocument::editorChanged, this, &MarkWindow::showEditor);
    connect(&doc_, &MarkDocument::selectedRowChanged, this, &MarkWindow::showSelectedRow);
    connect(&doc_, &MarkDocument::previewChanged, this, &MarkWindow::showPreview);

    showEditor();
    showSelectedRow(doc_.selectedRow());
    showPreview();
}

QSize MarkWindow::sizeHint() const {
    return {kTableRect.right() + 20, kPreviewAreaRect.bottom() + 5};
}

void MarkWindow::showEditor() {
    if (const int i = function_->findText(doc_.functionText()); i >= 0)
        function_->setCurrentIndex(i);
    if (const int i = font_->findText(doc_.fontText()); i >= 0)
        font_->setCurrentIndex(i);
    if (text_->text() != doc_.fragmentText()) {
        showingDocument_ = true;
        text_->setText(doc_.fragmentText());
        showingDocument_ = false;
    }
}

void MarkWindow::showSelectedRow(int row) {
    QItemSelectionModel* selection = table_->selectionModel();
    const QModelIndexList rows = selection->selectedRows();
    const int shown = rows.isEmpty() ? -1 : rows.first().row();
    if (shown == row)
        return;
    if (row < 0) {
        selection->clearSelection();
        return;
    }
    const QModelIndex index = doc_.model().index(row, 0);
    showingSelection_ = true;
    selection->setCurrentIndex(index,
                               QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    showingSelection_ = false;
    table_->scrollTo(index);
}

void MarkWindow::showPreview() {
    preview_->setPixmap(QPixmap::fromImage(doc_.preview()));
}

} // namespace marks
