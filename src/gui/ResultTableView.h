#pragma once

#include <vector>

#include <QTableView>

namespace lapdeck {

class ResultGridModel;

// A results grid on screen: its fixed rows as the column headings, fixed-height
// rows (so thousands of laps scroll smoothly), columns as wide as the design asks
// whatever their texts, so a long name cannot push the table off the screen.
class ResultTableView : public QTableView {
    Q_OBJECT

public:
    ResultTableView(ResultGridModel* model, QWidget* parent = nullptr);

    ResultGridModel* gridModel() const { return m_model; }
    // Widths in pixels; longer texts are cut short with "…".
    void setColumnWidths(const std::vector<int>& widths);
    // The width a column needs to show each of `texts` whole.
    int widthOfTexts(const QStringList& texts) const;
    // Twips (1/1440 inch) to pixels on this screen.
    int pixelsOfTwips(double twips) const;
    double twipsOfPixels(int pixels) const;

protected:
    void changeEvent(QEvent* event) override;

private:
    void fitRowHeight();

    ResultGridModel* m_model;
};

}  // namespace lapdeck
