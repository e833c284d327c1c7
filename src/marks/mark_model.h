// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace marks {

// A mark is 4 lines of 8 fragments; row r is line r / 8 + 1, fragment r % 8 + 1.
inline constexpr int kFragmentCount = 32;
inline constexpr int kColumnCount = 5;
// The same limit for the change button, a mark read and the free-places column.
inline constexpr int kMaxTextLength = 44;
inline constexpr int kFontCount = 16;

enum Column { NumberColumn = 0, FunctionColumn, FontColumn, TextColumn, FreeColumn };

using MarkRow = std::array<QString, kColumnCount>;
using MarkRows = std::array<MarkRow, kFragmentCount>;

// Function codes as the printer and the mark files carry them.
enum FunctionCode : quint8 {
    TextCode = 0x18,
    NumberCode = 0x19,
    DateTimeCode = 0x1A,
    GraphicCode = 0x1C,
    PostDateCode = 0x1D,
    BarcodeCode = 0x10,
};

// The six names in the order of the function selector.
const QStringList& functionNames();
// Any text that is not one of the six names is plain text.
quint8 functionCodeOfName(const QString& name);
// Nothing for a code outside the table; each reader decides what to show then.
std::optional<QString> functionNameOfCode(quint8 code);

// "Шрифт#00" .. "Шрифт#15".
const QStringList& fontNames();
// The font number of a table cell or selector text: its last two characters as a number.
int fontNumberOfText(const QString& text);
// " 02"
QString fontCellText(int font);
// "44" minus the text length.
QString freePlacesText(const QString& text);

// "11" .. "48"
QString fragmentNumberOfRow(int row);
MarkRows initialRows();

// The current mark: 32 rows of five text cells. Other code reads and changes the mark only
// through cellText / setCellText (or whole rows at once after a file load or a read).
class MarkModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit MarkModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    QString cellText(int row, int column) const;
    void setCellText(int row, int column, const QString& text);

    const MarkRows& rows() const { return rows_; }
    // A whole mark, from a file or the printer: rowsReplaced() follows dataChanged().
    void setRows(const MarkRows& rows);

signals:
    void rowsReplaced();

private:
    MarkRows rows_;
};

} // namespace marks
