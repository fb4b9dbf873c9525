#pragma once

#include <array>

#include <QDialog>

class QFrame;
class QLabel;
class QPixmap;
class QPushButton;

namespace lapdeck {

// The about box: the logo, the version and description lines, a warning and two
// credit lines in dark blue.
class frmVx9About : public QDialog {
    Q_OBJECT

public:
    explicit frmVx9About(const QPixmap& logo, QWidget* parent = nullptr);

    QLabel* imgLapvane = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* lblDisclaimer = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    std::array<QFrame*, 2> Line1{};
    QFrame* Frame1 = nullptr;
    QPushButton* cmdOK = nullptr;
};

}  // namespace lapdeck
