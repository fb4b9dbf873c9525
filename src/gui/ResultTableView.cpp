#include "ResultTableView.h"

#include <algorithm>
#include <cmath>

#include <QEvent>

#include "GridHeaderView.h"
#include "ResultGridModel.h"

namespace lapdeck {
namespace {

constexpr int kCellPadding = 10;

}  // namespace

ResultTableView::ResultTableView(ResultGridModel* model, QWidget* parent)
    : QTableView(parent), m_model(model) {
    setHorizontalHeader(new GridHeaderView(this));
    setModel(model);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    fitRowHeight();
}

int ResultTableView::pixelsOfTwips(double twips) const {
    return static_cast<int>(std::lround(twips * logicalDpiX() / 1440.0));
}

double ResultTableView::twipsOfPixels(int pixels) const {
    return pixels * 1440.0 / logicalDpiX();
}

void ResultTableView::setColumnWidths(const std::vector<int>& widths) {
    const ResultGrid& grid = m_model->grid();
    const QFontMetrics fm = fontMetrics();
    const int columns = std::min<int>(grid.columnCount(), static_cast<int>(widths.size()));
    for (int k = 0; k < columns; ++k) {
        // The longest text by length stands for the widest: cheap over 3000 rows.
        qsizetype longestAt = -1;
        qsizetype longest = 0;
        for (int r = 0; r < grid.rowCount(); ++r) {
            const qsizetype length = grid.cell(r, k).text.size();
            if (length > longest) {
                longest = length;
                longestAt = r;
            }
        }
        const int needed =
            longestAt < 0 ? 0
                          : fm.horizontalAdvance(grid.cell(static_cast<int>(longestAt), k).text) +
                                kCellPadding;
        setColumnWidth(k, std::max(widths[static_cast<size_t>(k)], needed));
    }
}

void ResultTableView::fitRowHeight() {
    const int height = fontMetrics().height() + 6;
    verticalHeader()->setMinimumSectionSize(
        std::min(height, verticalHeader()->minimumSectionSize()));
    verticalHeader()->setDefaultSectionSize(height);
}

void ResultTableView::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        fitRowHeight();
        horizontalHeader()->setFont(font());
        updateGeometries();
    }
}

}  // namespace lapdeck
