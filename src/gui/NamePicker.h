#pragma once

#include <QComboBox>

namespace lapdeck {

// The drop-down list that opens over a name cell, shown only while its list is
// open. It holds the entries in the order given (the roster sorted with "Empty").
class NamePicker : public QComboBox {
    Q_OBJECT

public:
    explicit NamePicker(QWidget* parent = nullptr);

    void setEntries(const QStringList& entries);
    QStringList entries() const;

    void showPopup() override;

signals:
    // Focus went elsewhere (not into the list's own pop-up).
    void focusLost();
    // The list closed, by a pick, Escape or a click elsewhere.
    void popupClosed();
    // The open list was closed by a press at this point of the screen outside it.
    void pressedOutside(QPoint global);

protected:
    void focusOutEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace lapdeck
