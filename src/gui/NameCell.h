#pragma once

#include "ClickLabel.h"

namespace lapdeck {

// A name cell of the race screen. A name too long for the cell ends in "…" inside
// its frame instead of running over it, and its tooltip shows the whole name
// (above the cell's own hint).
class NameCell : public ClickLabel {
    Q_OBJECT

public:
    explicit NameCell(QWidget* parent = nullptr);

    // The caption as drawn: whole, or cut with "…" to fit.
    QString shownText() const;
    bool isElided() const { return shownText() != text(); }
    // What the tooltip shows now.
    QString toolTipText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    QRect textRect() const;
};

}  // namespace lapdeck
