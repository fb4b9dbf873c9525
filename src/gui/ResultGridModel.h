#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QHash>

#include "ResultGrid.h"

namespace lapdeck {

// A results grid as a table: its first `fixedRows` rows are the column headings
// (drawn by GridHeaderView, so they stay in view while the rows scroll), the rest
// are the table's rows. Texts, alignment and colours come from the cells.
class ResultGridModel : public QAbstractTableModel {
    Q_OBJECT

public:
    ResultGridModel(int fixedRows, QObject* parent = nullptr);

    void setGrid(ResultGrid grid);
    const ResultGrid& grid() const { return m_grid; }
    int fixedRows() const { return m_fixedRows; }
    // A heading cell: line 0 .. fixedRows - 1 of a column.
    const GridCell& headingCell(int line, int column) const { return m_grid.cell(line, column); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    static Qt::Alignment alignment(CellAlign align);

    // A mark over a cell (grid row and column): its own background and a line added
    // to the tooltip saying why. Marks go with the next setGrid().
    void setMark(int row, int column, QColor background, const QString& why);
    bool isMarked(int row, int column) const;

private:
    struct Mark {
        QColor background;
        QString why;
    };
    const Mark* markAt(int row, int column) const;

    ResultGrid m_grid;
    QHash<QPair<int, int>, Mark> m_marks;
    int m_fixedRows;
};

}  // namespace lapdeck
