#include "PortChoiceDialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace lapdeck {

PortChoiceDialog::PortChoiceDialog(int current, const PortDevices& detected,
                                   const PortDevices& chosen, QWidget* parent)
    : QDialog(parent), m_detected(detected), m_chosen(chosen) {
    setObjectName(QStringLiteral("PortChoiceDialog"));
    setWindowTitle(QStringLiteral("Lapvane Connected to Comm Port"));

    lstPorts = new QListWidget(this);
    lstPorts->setObjectName(QStringLiteral("lstPorts"));
    lstPorts->setToolTip(QStringLiteral("Lapvane Hardware is connected to this port"));
    for (int n = 1; n <= 16; ++n) {
        lstPorts->addItem(QString());
        refreshRow(n);
    }
    txtDevice = new QLineEdit(this);
    txtDevice->setObjectName(QStringLiteral("txtDevice"));
    txtDevice->setPlaceholderText(QStringLiteral("/dev/ttyUSB0"));
    auto* use = new QPushButton(QStringLiteral("&Use device"), this);
    use->setAutoDefault(false);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(use, &QPushButton::clicked, this, &PortChoiceDialog::applyDevice);
    connect(lstPorts, &QListWidget::currentRowChanged, this,
            [this](int row) { txtDevice->setText(m_chosen[static_cast<size_t>(row + 1)]); });

    auto* deviceRow = new QHBoxLayout;
    deviceRow->addWidget(new QLabel(QStringLiteral("Device:"), this));
    deviceRow->addWidget(txtDevice, 1);
    deviceRow->addWidget(use);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Lapvane Connected to Comm Port:"), this));
    layout->addWidget(lstPorts, 1);
    layout->addLayout(deviceRow);
    layout->addWidget(buttons);

    lstPorts->setCurrentRow(current >= 1 && current <= 16 ? current - 1 : 0);
    lstPorts->setFocus();
    resize(420, 420);
}

void PortChoiceDialog::refreshRow(int number) {
    const auto n = static_cast<size_t>(number);
    QString device = m_chosen[n];
    if (device.isEmpty()) {
        device = m_detected[n].isEmpty() ? QStringLiteral("(no device)") : m_detected[n];
    }
    lstPorts->item(number - 1)->setText(QString::number(number) + QStringLiteral("    ") + device);
}

int PortChoiceDialog::chosenPort() const {
    return lstPorts->currentRow() + 1;
}

void PortChoiceDialog::applyDevice() {
    const int n = chosenPort();
    if (n < 1 || n > 16) {
        return;
    }
    m_chosen[static_cast<size_t>(n)] = txtDevice->text().trimmed();
    refreshRow(n);
}

}  // namespace lapdeck
