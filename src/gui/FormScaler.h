#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>

class QWidget;

namespace lapdeck {

// Scales the child widgets of a form with the form's size, fonts included, so the
// race screen stays readable from across the pit lane on a large window. The
// children are placed for `designSize`; `capture()` records their design geometry
// and font sizes, and every resize of the form rescales them.
class FormScaler : public QObject {
    Q_OBJECT

public:
    FormScaler(QWidget* form, QSize designSize);

    // Records the current geometry and font of every direct child as its design.
    void capture();
    // Places a child at a design rectangle (for widgets that move, like the pickers).
    void setDesignGeometry(QWidget* child, QRect designRect);
    QRect designGeometry(QWidget* child) const;
    void rescale();

    // Factor applied to fonts: the smaller of the two axis factors.
    double fontFactor() const { return m_fontFactor; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Design {
        QPointer<QWidget> widget;
        QRect rect;
        double pointSize = 0.0;
    };
    QRect scaled(QRect rect) const;

    QWidget* m_form;
    QSize m_designSize;
    double m_sx = 1.0;
    double m_sy = 1.0;
    double m_fontFactor = 1.0;
    QHash<QWidget*, Design> m_designs;
};

}  // namespace lapdeck
