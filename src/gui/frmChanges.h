#pragma once

#include <QDialog>

class QTableWidget;

namespace lapdeck {

class MarshalDesk;

// The marshal's record of the race on screen: every change with its number, when
// it was made, what it did, the reason, and whether it was taken back.
class frmChanges : public QDialog {
    Q_OBJECT

public:
    explicit frmChanges(const MarshalDesk& desk, QWidget* parent = nullptr);

    void fill();

    QTableWidget* grdChanges = nullptr;

private:
    const MarshalDesk& m_desk;
};

}  // namespace lapdeck
