#include "ResultGrid.h"

#include <algorithm>
#include <cstddef>
#include <stdexcept>

namespace lapdeck {

ResultGrid::ResultGrid(int rows, int columns)
    : m_rows(std::max(rows, 0)),
      m_columns(std::max(columns, 0)),
      m_cells(static_cast<size_t>(m_rows) * static_cast<size_t>(m_columns)) {}

void ResultGrid::setRowCount(int rows) {
    m_rows = std::max(rows, 0);
    m_cells.resize(static_cast<size_t>(m_rows) * static_cast<size_t>(m_columns));
}

size_t ResultGrid::indexOf(int row, int column) const {
    // A cell outside the grid is a programming error; never touch memory for it.
    if (!contains(row, column)) {
        throw std::out_of_range("results grid cell out of range");
    }
    return static_cast<size_t>(row) * static_cast<size_t>(m_columns) + static_cast<size_t>(column);
}

GridCell& ResultGrid::cell(int row, int column) {
    return m_cells[indexOf(row, column)];
}

const GridCell& ResultGrid::cell(int row, int column) const {
    return m_cells[indexOf(row, column)];
}

QString ResultGrid::text(int row, int column) const {
    return contains(row, column) ? cell(row, column).text : QString();
}

}  // namespace lapdeck
