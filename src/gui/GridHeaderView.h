#pragma once

#include <QHeaderView>

namespace lapdeck {

class ResultGridModel;

// The column headings of a results table: one line per fixed row of the grid, each
// cell in its own colours and alignment (the flags' colours over their columns).
class GridHeaderView : public QHeaderView {
    Q_OBJECT

public:
    explicit GridHeaderView(QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    const ResultGridModel* gridModel() const;
    int lineHeight() const;
};

}  // namespace lapdeck
