#include "frmVx9SettingsNew.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "BusyCursor.h"
#include "RaceHost.h"
#include "ValueLists.h"
#include "WidgetLook.h"

namespace lapdeck {
namespace {

QComboBox* pickList(QWidget* parent, const char* name, const QStringList& entries,
                    const QString& tip = {}) {
    auto* list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->addItems(entries);
    list->setToolTip(tip);
    return list;
}

QLabel* caption(const QString& text, QWidget* parent, const char* name = nullptr) {
    auto* label = new QLabel(text, parent);
    if (name != nullptr) {
        label->setObjectName(QString::fromLatin1(name));
    }
    return label;
}

}  // namespace

frmVx9SettingsNew::frmVx9SettingsNew(const SettingsChoice& stored, const PortMap& ports,
                                     Prompter& prompter, Apply apply, QWidget* parent)
    : QDialog(parent),
      m_model(stored.settings),
      m_devices(stored.devices),
      m_ports(ports),
      m_prompter(prompter),
      m_apply(std::move(apply)) {
    setObjectName(QStringLiteral("frmVx9SettingsNew"));
    setWindowTitle(QStringLiteral("  Settings"));

    QHBoxLayout* buttons = okCancelRow(this, cmdOk, cmdCancel);

    auto* grid = new QGridLayout;
    grid->addWidget(buildFlags(), 0, 0, 2, 1);
    grid->addWidget(buildTrack(), 0, 1);
    auto* right = new QVBoxLayout;
    auto* minLap = new QGroupBox(QStringLiteral("Min Lap Time:"), this);
    cmbMinLapTime = pickList(this, "cmbMinLapTime", ValueLists::minLapTimes(),
                             QStringLiteral("Lap will not count if under this time"));
    auto* minLapRow = new QHBoxLayout(minLap);
    minLapRow->addWidget(cmbMinLapTime);
    minLapRow->addWidget(caption(QStringLiteral("Seconds"), minLap));
    minLapRow->addStretch(1);
    right->addWidget(minLap);
    auto* starts = new QGridLayout;
    lblStartDelay = caption(QStringLiteral("Start Delay, Seconds:"), this, "lblStartDelay");
    cmbDelay = pickList(this, "cmbDelay", ValueLists::startDelays(),
                        QStringLiteral("Delay in seconds before \"Formula1 Starts\""));
    lblFirstLap = caption(QStringLiteral("Race Begins With Lap:"), this, "lblFirstLap");
    cmbFirstLap =
        pickList(this, "cmbFirstLap", ValueLists::firstLaps(),
                 QStringLiteral("Car before sensor,select 0. Car after sensor select 1."));
    starts->addWidget(lblStartDelay, 0, 0);
    starts->addWidget(cmbDelay, 0, 1);
    starts->addWidget(lblFirstLap, 1, 0);
    starts->addWidget(cmbFirstLap, 1, 1);
    starts->setColumnStretch(2, 1);
    right->addLayout(starts);
    right->addStretch(1);
    grid->addLayout(right, 1, 1);
    grid->addWidget(buildPort(), 2, 0, 1, 2);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetMinimumSize);

    showStored();

    for (int i = 1; i <= kFlags; ++i) {
        connect(cmbLane[i], &QComboBox::editTextChanged, this,
                [this, i](const QString& text) { cmbLane_Click(i, text); });
        connect(chkDisable[i], &QCheckBox::toggled, this,
                [this, i](bool checked) { chkDisable_Click(i, checked); });
    }
    auto follow = [this](QComboBox* list, void (SettingsModel::*set)(int)) {
        connect(list, &QComboBox::currentIndexChanged, this,
                [this, set](int index) { (m_model.*set)(index); });
    };
    follow(cmbTrackLength, &SettingsModel::setTrackLengthPos);
    follow(cmbScale, &SettingsModel::setScalePos);
    follow(cmbMinLapTime, &SettingsModel::setMinLapPos);
    follow(cmbDelay, &SettingsModel::setDelayPos);
    follow(cmbFirstLap, &SettingsModel::setFirstLapPos);
    connect(cmbCommPort, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_model.setPortPos(index);
        showPortDevice();
    });
    connect(txtPortDevice, &QLineEdit::textChanged, this, &frmVx9SettingsNew::txtPortDevice_Edited);
    connect(cmdOk, &QPushButton::clicked, this, &frmVx9SettingsNew::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

QWidget* frmVx9SettingsNew::buildFlags() {
    auto* box = new QGroupBox(QStringLiteral("Flag color"), this);
    auto* grid = new QGridLayout(box);
    for (int i = 1; i <= kFlags; ++i) {
        const QString n = QString::number(i);
        // The first swatch reads "Flag 1 ", with its blank, as it always has.
        txtTrack[i] = caption(
            QStringLiteral("Flag ") + n + (i == 1 ? QStringLiteral(" ") : QString()), box, nullptr);
        txtTrack[i]->setObjectName(QStringLiteral("txtTrack") + n);
        txtTrack[i]->setFrameShape(QFrame::Box);
        txtTrack[i]->setAlignment(Qt::AlignCenter);
        txtTrack[i]->setMinimumWidth(
            txtTrack[i]->fontMetrics().horizontalAdvance(QStringLiteral("Flag 6 ")) + 16);

        cmbLane[i] = new QComboBox(box);
        cmbLane[i]->setObjectName(QStringLiteral("cmbLane") + n);
        cmbLane[i]->setEditable(true);
        cmbLane[i]->setInsertPolicy(QComboBox::NoInsert);
        cmbLane[i]->addItems(ValueLists::colourNames());
        cmbLane[i]->setToolTip(QStringLiteral("Select color for Flag ") + n);

        chkDisable[i] = new QCheckBox(QStringLiteral("Disable"), box);
        chkDisable[i]->setObjectName(QStringLiteral("chkDisable") + n);
        chkDisable[i]->setToolTip(QStringLiteral("Disable flag ") + n);

        grid->addWidget(txtTrack[i], i - 1, 0);
        grid->addWidget(cmbLane[i], i - 1, 1);
        grid->addWidget(chkDisable[i], i - 1, 2);
    }
    return box;
}

QWidget* frmVx9SettingsNew::buildTrack() {
    auto* box = new QGroupBox(QStringLiteral("Track"), this);
    auto* length = new QGroupBox(QStringLiteral("Length:"), box);
    cmbTrackLength = pickList(length, "cmbTrackLength", ValueLists::trackLengths(),
                              QStringLiteral("Average length of track in feet"));
    auto* lengthRow = new QHBoxLayout(length);
    lengthRow->addWidget(cmbTrackLength);
    lengthRow->addWidget(caption(QStringLiteral("Feet"), length));
    lengthRow->addStretch(1);
    auto* scale = new QGroupBox(QStringLiteral("Scale:"), box);
    cmbScale = pickList(scale, "cmbScale", ValueLists::scales());
    auto* scaleRow = new QHBoxLayout(scale);
    scaleRow->addWidget(cmbScale);
    scaleRow->addStretch(1);
    auto* layout = new QHBoxLayout(box);
    layout->addWidget(length);
    layout->addWidget(scale);
    return box;
}

QWidget* frmVx9SettingsNew::buildPort() {
    auto* box = new QWidget(this);
    lblLapvaneConnectedToComm = caption(QStringLiteral("Lapvane Connected to Comm Port:"), box,
                                        "lblLapvaneConnectedToComm");
    cmbCommPort = new QComboBox(box);
    cmbCommPort->setObjectName(QStringLiteral("cmbCommPort"));
    cmbCommPort->setToolTip(QStringLiteral("Lapvane Hardware is connected to this port"));
    // AddPorts: "1" to "16", each shown with the device it opens.
    for (const QString& number : ValueLists::ports()) {
        cmbCommPort->addItem(number);
    }
    cmbCommPort->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cmbCommPort->setMinimumContentsLength(40);
    txtPortDevice = new QLineEdit(box);
    txtPortDevice->setObjectName(QStringLiteral("txtPortDevice"));
    txtPortDevice->setPlaceholderText(QStringLiteral("the device detected for this number"));
    txtPortDevice->setToolTip(
        QStringLiteral("Type a device path (for example /dev/ttyUSB0) to give this port number "
                       "a device of your own; leave it empty to use the detected one."));
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(lblLapvaneConnectedToComm, 0, 0);
    grid->addWidget(cmbCommPort, 0, 1);
    grid->addWidget(caption(QStringLiteral("Device:"), box), 1, 0, Qt::AlignRight);
    grid->addWidget(txtPortDevice, 1, 1);
    grid->setColumnStretch(1, 1);
    return box;
}

void frmVx9SettingsNew::showStored() {
    const Settings& s = m_model.value();
    cmbTrackLength->setCurrentIndex(s.trackLengthPos);
    cmbScale->setCurrentIndex(s.scalePos);
    cmbMinLapTime->setCurrentIndex(s.minLapPos);
    cmbDelay->setCurrentIndex(s.delayPos);
    cmbCommPort->setCurrentIndex(s.portPos);
    cmbFirstLap->setCurrentIndex(s.firstLapPos);
    for (int i = 1; i <= kFlags; ++i) {
        cmbLane[i]->setCurrentIndex(cmbLane[i]->findText(s.colourName[i]));
        cmbLane[i]->setEditText(s.colourName[i]);
        chkDisable[i]->setChecked(s.disabled[i]);
        cmbLane[i]->setEnabled(m_model.colourListEnabled(i));
        paintSwatch(i);
    }
    refreshPortList();
    showPortDevice();
}

void frmVx9SettingsNew::cmbLane_Click(int flag, const QString& text) {
    m_model.cmbLane_Click(flag, text);
    paintSwatch(flag);
}

void frmVx9SettingsNew::chkDisable_Click(int flag, bool disabled) {
    m_model.chkDisable_Click(flag, disabled);
    for (int i = 1; i <= kFlags; ++i) {
        cmbLane[i]->setEnabled(m_model.colourListEnabled(i));
    }
}

void frmVx9SettingsNew::paintSwatch(int flag) {
    const QColor back = colourOf(m_model.value().swatchColour[flag]);
    setColours(txtTrack[flag], back, textColourOn(back));
}

void frmVx9SettingsNew::refreshPortList() {
    const auto texts = m_ports.describeAll(m_devices);
    for (int n = 1; n <= cmbCommPort->count(); ++n) {
        // Figure spaces keep the numbers, and so the devices, in line.
        cmbCommPort->setItemText(n - 1, QString::number(n).rightJustified(2, QChar(0x2007)) +
                                            QStringLiteral("   ") + texts[static_cast<size_t>(n)]);
    }
}

int frmVx9SettingsNew::portNumber() const {
    return m_model.value().portText().toInt();
}

void frmVx9SettingsNew::showPortDevice() {
    const int n = portNumber();
    const QSignalBlocker shownNotTyped(txtPortDevice);
    txtPortDevice->setEnabled(n >= 1);
    txtPortDevice->setText(n >= 1 ? m_devices[static_cast<size_t>(n)] : QString());
}

void frmVx9SettingsNew::txtPortDevice_Edited(const QString& text) {
    const int n = portNumber();
    if (n >= 1 && n < static_cast<int>(m_devices.size())) {
        // Kept as typed, whether or not the number is picked again before OK.
        m_devices[static_cast<size_t>(n)] = text.trimmed();
        refreshPortList();
    }
}

void frmVx9SettingsNew::focusPortList() {
    cmbCommPort->setFocus(Qt::OtherFocusReason);
}

void frmVx9SettingsNew::cmdOk_Click() {
    const BusyCursor busy;
    if (const auto missing = m_model.validate()) {
        m_prompter.inform(missing->title, missing->text, missing->icon);
        return;
    }
    switch (m_apply(choice())) {
        case SettingsOutcome::Applied:
            accept();
            break;
        case SettingsOutcome::ChoosePort:
            refreshPortList();
            focusPortList();
            break;
        case SettingsOutcome::NotApplied:
            break;
    }
}

}  // namespace lapdeck
