#pragma once

#include <QComboBox>

namespace lapdeck {

// The drop-down list that opens over a name cell. Entries stay in alphabetical
// order ignoring case, as each one is added at its place.
class NamePicker : public QComboBox {
    Q_OBJECT

public:
    explicit NamePicker(QWidget* parent = nullptr);

    void addSorted(const QString& name);
    QStringList entries() const;

signals:
    // Focus went elsewhere (not to the list's own pop-up).
    void focusLost();

protected:
    void focusOutEvent(QFocusEvent* event) override;
};

}  // namespace lapdeck
