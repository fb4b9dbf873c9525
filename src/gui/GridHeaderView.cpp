#include "GridHeaderView.h"

#include <QPainter>

#include "ResultGridModel.h"
#include "WidgetLook.h"

namespace lapdeck {

GridHeaderView::GridHeaderView(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setSectionsClickable(false);
    setHighlightSections(false);
}

const ResultGridModel* GridHeaderView::gridModel() const {
    return qobject_cast<const ResultGridModel*>(model());
}

int GridHeaderView::lineHeight() const {
    return fontMetrics().height() + 6;
}

QSize GridHeaderView::sizeHint() const {
    QSize size = QHeaderView::sizeHint();
    const ResultGridModel* grid = gridModel();
    size.setHeight(lineHeight() * (grid ? std::max(1, grid->fixedRows()) : 1) + 1);
    return size;
}

void GridHeaderView::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    const ResultGridModel* grid = gridModel();
    if (grid == nullptr || grid->fixedRows() == 0) {
        QHeaderView::paintSection(painter, rect, logicalIndex);
        return;
    }
    painter->save();
    const int lines = grid->fixedRows();
    const QColor gridLine = palette().color(QPalette::Mid);
    for (int line = 0; line < lines; ++line) {
        const int top = rect.top() + line * rect.height() / lines;
        const int bottom = rect.top() + (line + 1) * rect.height() / lines;
        const QRect cellRect(rect.left(), top, rect.width(), bottom - top);
        const GridCell& cell = grid->headingCell(line, logicalIndex);
        const QColor back =
            cell.background ? colourOf(*cell.background) : palette().color(QPalette::Button);
        const QColor text = cell.foreground ? colourOf(*cell.foreground) : textColourOn(back);
        painter->fillRect(cellRect, back);
        painter->setPen(gridLine);
        painter->drawLine(cellRect.bottomLeft(), cellRect.bottomRight());
        painter->drawLine(cellRect.topRight(), cellRect.bottomRight());
        painter->setPen(text);
        const QRect textRect = cellRect.adjusted(3, 0, -3, 0);
        painter->drawText(textRect, static_cast<int>(ResultGridModel::alignment(cell.align)),
                          fontMetrics().elidedText(cell.text, Qt::ElideRight, textRect.width()));
    }
    painter->restore();
}

}  // namespace lapdeck
