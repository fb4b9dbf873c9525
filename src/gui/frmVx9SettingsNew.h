#pragma once

#include <array>
#include <functional>

#include <QDialog>

#include "PortMap.h"
#include "SettingsModel.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace lapdeck {

class Prompter;

// What the settings dialog edits: the settings and the device of each port number.
struct SettingsChoice {
    Settings settings;
    PortDevices devices;
};

// What became of the settings handed back at OK.
enum class SettingsOutcome {
    Applied,     // the dialog closes
    NotApplied,  // why was told; the dialog stays open
    ChoosePort,  // the port failed and the organiser chooses another: the port list
};

// The settings dialog: flag colours and disabled flags, track length and scale,
// minimum lap time, start delay, first lap, and the port of the lap counter with
// the device each number opens. It edits a copy; OK hands the choice to `apply`
// (the program stores and applies it), Cancel drops it.
class frmVx9SettingsNew : public QDialog {
    Q_OBJECT

public:
    using Apply = std::function<SettingsOutcome(const SettingsChoice&)>;

    frmVx9SettingsNew(const SettingsChoice& stored, const PortMap& ports, Prompter& prompter,
                      Apply apply, QWidget* parent = nullptr);

    const SettingsModel& model() const { return m_model; }
    SettingsChoice choice() const { return {m_model.value(), m_devices}; }

    void cmdOk_Click();
    // Puts the focus on the port list (after the user asked for another port).
    void focusPortList();

    std::array<QComboBox*, 7> cmbLane{};
    std::array<QLabel*, 7> txtTrack{};
    std::array<QCheckBox*, 7> chkDisable{};
    QComboBox* cmbTrackLength = nullptr;
    QComboBox* cmbScale = nullptr;
    QComboBox* cmbMinLapTime = nullptr;
    QComboBox* cmbDelay = nullptr;
    QComboBox* cmbFirstLap = nullptr;
    QComboBox* cmbCommPort = nullptr;
    // A device path of the user's for the chosen number; empty: the detected one.
    QLineEdit* txtPortDevice = nullptr;
    QLabel* lblStartDelay = nullptr;
    QLabel* lblFirstLap = nullptr;
    QLabel* lblLapvaneConnectedToComm = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    QWidget* buildFlags();
    QWidget* buildTrack();
    QWidget* buildPort();
    void showStored();
    void cmbLane_Click(int flag, const QString& text);
    void chkDisable_Click(int flag, bool disabled);
    void paintSwatch(int flag);
    void refreshPortList();
    void showPortDevice();
    void txtPortDevice_Edited(const QString& text);
    int portNumber() const;

    SettingsModel m_model;
    PortDevices m_devices;
    const PortMap& m_ports;
    Prompter& m_prompter;
    Apply m_apply;
};

}  // namespace lapdeck
