#include "ResultGridModel.h"

#include <algorithm>

#include <QBrush>

#include "WidgetLook.h"

namespace lapdeck {

ResultGridModel::ResultGridModel(int fixedRows, QObject* parent)
    : QAbstractTableModel(parent), m_fixedRows(fixedRows) {}

void ResultGridModel::setGrid(ResultGrid grid) {
    beginResetModel();
    m_grid = std::move(grid);
    m_marks.clear();
    endResetModel();
}

void ResultGridModel::setMark(int row, int column, QColor background, const QString& why) {
    m_marks.insert({row, column}, Mark{background, why});
    const QModelIndex at = index(row - m_fixedRows, column);
    emit dataChanged(at, at);
}

bool ResultGridModel::isMarked(int row, int column) const {
    return markAt(row, column) != nullptr;
}

const ResultGridModel::Mark* ResultGridModel::markAt(int row, int column) const {
    const auto it = m_marks.constFind({row, column});
    return it == m_marks.constEnd() ? nullptr : &it.value();
}

int ResultGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::max(0, m_grid.rowCount() - m_fixedRows);
}

int ResultGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_grid.columnCount();
}

Qt::Alignment ResultGridModel::alignment(CellAlign align) {
    return align == CellAlign::Centre ? Qt::Alignment(Qt::AlignCenter)
                                      : (Qt::AlignLeft | Qt::AlignVCenter);
}

QVariant ResultGridModel::data(const QModelIndex& index, int role) const {
    const int row = index.row() + m_fixedRows;
    if (!index.isValid() || !m_grid.contains(row, index.column())) {
        return {};
    }
    const GridCell& cell = m_grid.cell(row, index.column());
    const Mark* mark = markAt(row, index.column());
    switch (role) {
        case Qt::DisplayRole:
            return cell.text;
        case Qt::ToolTipRole:
            if (mark != nullptr) {
                return cell.text.isEmpty() ? mark->why : cell.text + u'\n' + mark->why;
            }
            return cell.text.isEmpty() ? QVariant() : QVariant(cell.text);
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(alignment(cell.align));
        case Qt::BackgroundRole:
            if (mark != nullptr) {
                return QBrush(mark->background);
            }
            return cell.background ? QVariant(QBrush(colourOf(*cell.background))) : QVariant();
        case Qt::ForegroundRole:
            if (mark != nullptr) {
                return QBrush(textColourOn(mark->background));
            }
            if (cell.foreground) {
                return QBrush(colourOf(*cell.foreground));
            }
            // Text on a flag colour must stay readable on yellow and on blue alike.
            return cell.background ? QVariant(QBrush(textColourOn(colourOf(*cell.background))))
                                   : QVariant();
        default:
            return {};
    }
}

QVariant ResultGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    // The tooltip shows a heading whole where its column cuts it short.
    if (orientation != Qt::Horizontal || (role != Qt::DisplayRole && role != Qt::ToolTipRole) ||
        section < 0 || section >= m_grid.columnCount()) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    QStringList lines;
    for (int line = 0; line < m_fixedRows; ++line) {
        lines << m_grid.text(line, section);
    }
    if (role == Qt::ToolTipRole && lines.join(QString()).trimmed().isEmpty()) {
        return {};
    }
    return lines.join(u'\n');
}

}  // namespace lapdeck
