#include "ResultTableView.h"

#include <algorithm>
#include <cmath>

#include <QEvent>

#include "GridHeaderView.h"
#include "ResultGridModel.h"

namespace lapdeck {

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
    // A text wider than its column (a long racer name) ends in "…"; its tooltip
    // shows it whole.
    setTextElideMode(Qt::ElideRight);
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
    const int columns = std::min<int>(m_model->columnCount(), static_cast<int>(widths.size()));
    for (int k = 0; k < columns; ++k) {
        setColumnWidth(k, widths[static_cast<size_t>(k)]);
    }
}

int ResultTableView::widthOfTexts(const QStringList& texts) const {
    constexpr int kCellPadding = 10;
    int widest = 0;
    for (const QString& text : texts) {
        widest = std::max(widest, fontMetrics().horizontalAdvance(text));
    }
    return widest + kCellPadding;
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
