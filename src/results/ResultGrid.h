#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <variant>
#include <vector>

#include <QString>

#include "RaceHost.h"

namespace lapdeck {

enum class CellAlign {
    Default,     // as the grid was designed
    LeftCentre,  // left, vertically centred
    Centre,
};

// One cell of a results grid. Colours are colour numbers (red + 256 x green + 65536 x
// blue); no value means the grid's own colour.
struct GridCell {
    QString text;
    CellAlign align = CellAlign::Default;
    std::optional<int32_t> background;
    std::optional<int32_t> foreground;

    bool operator==(const GridCell&) const = default;
};

// A grid of cells, rows x columns, as the lap table and summary windows show it.
class ResultGrid {
public:
    ResultGrid() = default;
    ResultGrid(int rows, int columns);

    int rowCount() const { return m_rows; }
    int columnCount() const { return m_columns; }
    // Keeps the cells of the rows that stay; new rows are empty.
    void setRowCount(int rows);

    bool contains(int row, int column) const {
        return row >= 0 && row < m_rows && column >= 0 && column < m_columns;
    }
    // Both throw std::out_of_range outside the grid.
    GridCell& cell(int row, int column);
    const GridCell& cell(int row, int column) const;
    // Empty text outside the grid, so readers of a short grid need no checks.
    QString text(int row, int column) const;

    bool operator==(const ResultGrid&) const = default;

private:
    size_t indexOf(int row, int column) const;

    int m_rows = 0;
    int m_columns = 0;
    std::vector<GridCell> m_cells;
};

// What the user is told: a message box's title, text and icon.
struct ResultMessage {
    QString title;
    QString text;
    Icon icon = Icon::Information;

    bool operator==(const ResultMessage&) const = default;
};

// A value, or the message that explains why there is none.
template <typename T>
class Expected {
public:
    Expected(T value) : m_value(std::move(value)) {}
    Expected(ResultMessage error) : m_value(std::move(error)) {}

    bool ok() const { return std::holds_alternative<T>(m_value); }
    explicit operator bool() const { return ok(); }
    T& value() { return std::get<T>(m_value); }
    const T& value() const { return std::get<T>(m_value); }
    const ResultMessage& error() const { return std::get<ResultMessage>(m_value); }

private:
    std::variant<T, ResultMessage> m_value;
};

}  // namespace lapdeck
