// SPDX-License-Identifier: GPL-3.0-or-later
#include "marks/mark_model.h"

#include "platform/number_text.h"

using namespace platform;

namespace marks {

namespace {

struct FunctionEntry {
    quint8 code;
    QString name;
};

const std::array<FunctionEntry, 6>& functionTable() {
    static const std::array<FunctionEntry, 6> table = {{
        {TextCode, QStringLiteral("Текст")},
        {NumberCode, QStringLiteral("Номер")},
        {DateTimeCode, QStringLiteral("Дата/Время")},
        {GraphicCode, QStringLiteral("Графика")},
        {PostDateCode, QStringLiteral("ПостДата")},
        {BarcodeCode, QStringLiteral("ШтрихКод EAN")},
    }};
    return table;
}

} // namespace

const QStringList& functionNames() {
    static const QStringList names = [] {
        QStringList list;
        for (const auto& entry : functionTable())
            list.append(entry.name);
        return list;
    }();
    return names;
}

quint8 functionCodeOfName(const QString& name) {
    for (const auto& entry : functionTable()) {
        if (entry.name == name)
            return entry.code;
    }
    return TextCode;
}

std::optional<QString> functionNameOfCode(quint8 code) {
    for (const auto& entry : functionTable()) {
        if (entry.code == code)
            return entry.name;
    }
    return std::nullopt;
}

const QStringList& fontNames() {
    static const QStringList names = [] {
        QStringList list;
        for (int i = 0; i < kFontCount; ++i)
            list.append(QStringLiteral("Шрифт#%1").arg(i, 2, 10, QLatin1Char('0')));
        return list;
    }();
    return names;
}

int fontNumberOfText(const QString& text) {
    return int(readDecimal(text.right(2)));
}

QString fontCellText(int font) {
    return zeroPadded(font, 2, u" ");
}

QString freePlacesText(const QString& text) {
    return zeroPadded(kMaxTextLength - text.size(), 1);
}

QString fragmentNumberOfRow(int row) {
    return zeroPadded(row % 8 + 1, 1, zeroPadded(row / 8 + 1, 1));
}

MarkRows initialRows() {
    // Every row shares the same font and free-places strings.
    const QString font = fontCellText(2);
    const QString free = freePlacesText(QString());
    MarkRows rows;
    for (int r = 0; r < kFragmentCount; ++r)
        rows[r] = {fragmentNumberOfRow(r), functionNames().first(), font, QString(), free};
    return rows;
}

MarkModel::MarkModel(QObject* parent) : QAbstractTableModel(parent), rows_(initialRows()) {}

int MarkModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kFragmentCount;
}

int MarkModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant MarkModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (role == Qt::DisplayRole)
        return rows_[index.row()][index.column()];
    return {};
}

QVariant MarkModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kColumnCount)
        return {};
    static const std::array<QString, kColumnCount> headers = {
        QStringLiteral("Nфрг"), QStringLiteral("Функция"), QStringLiteral("Шрифт"),
        QStringLiteral("    Текст Фрагмента"), QStringLiteral("своб")};
    return headers[section];
}

QString MarkModel::cellText(int row, int column) const {
    if (row < 0 || row >= kFragmentCount || column < 0 || column >= kColumnCount)
        return {};
    return rows_[row][column];
}

void MarkModel::setCellText(int row, int column, const QString& text) {
    if (row < 0 || row >= kFragmentCount || column < 0 || column >= kColumnCount)
        return;
    if (rows_[row][column] == text)
        return;
    rows_[row][column] = text;
    const QModelIndex at = index(row, column);
    emit dataChanged(at, at, {Qt::DisplayRole});
}

void MarkModel::setRows(const MarkRows& rows) {
    rows_ = rows;
    emit dataChanged(index(0, 0), index(kFragmentCount - 1, kColumnCount - 1), {Qt::DisplayRole});
    emit rowsReplaced();
}

} // namespace marks
