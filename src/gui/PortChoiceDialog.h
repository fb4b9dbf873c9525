#pragma once

#include <QDialog>
#include <QString>

#include "PortMap.h"

class QLineEdit;
class QListWidget;

namespace lapdeck {

// Picks the port the lap counter is wired to. Each number shows its device; a
// device path of the user's choosing (a USB adapter, a pseudo-terminal) can be
// given to the selected number.
class PortChoiceDialog : public QDialog {
    Q_OBJECT

public:
    // `detected` is what each number opens by default, `chosen` the devices the user
    // gave to numbers (empty where none).
    PortChoiceDialog(int current, const PortDevices& detected, const PortDevices& chosen,
                     QWidget* parent = nullptr);

    int chosenPort() const;
    const PortDevices& chosenDevices() const { return m_chosen; }

    QListWidget* lstPorts = nullptr;
    QLineEdit* txtDevice = nullptr;

    // Gives the typed device to the selected number (empty: back to the detected one).
    void applyDevice();

private:
    void refreshRow(int number);

    PortDevices m_detected;
    PortDevices m_chosen;
};

}  // namespace lapdeck
