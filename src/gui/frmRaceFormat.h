#pragma once

#include <functional>
#include <optional>

#include <QDialog>

#include "ConfigError.h"
#include "RaceFormatModel.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

namespace lapdeck {

class Prompter;

// The race format dialog: practice, a race over laps or over minutes, and demo
// mode. It edits a copy of the stored race format; OK hands it to `store` (written,
// reloaded, put in force) and closes, Cancel drops it.
class frmRaceFormat : public QDialog {
    Q_OBJECT

public:
    using Store = std::function<std::optional<ConfigError>(const RaceFormat&)>;

    frmRaceFormat(const RaceFormat& stored, Store store, Prompter& prompter,
                  QWidget* parent = nullptr);

    const RaceFormatModel& model() const { return m_model; }

    void cmdOk_Click();

    QGroupBox* fraRaceFormat = nullptr;  // the frame "Select Race Format"
    QRadioButton* optPractice = nullptr;
    QRadioButton* optLapRace = nullptr;
    QRadioButton* optTimedRace = nullptr;
    QComboBox* cmbSelectNoOfLaps = nullptr;
    QComboBox* cmbSelectTime = nullptr;
    QCheckBox* chkDemo = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    void showLists();

    RaceFormatModel m_model;
    Store m_store;
    Prompter& m_prompter;
};

}  // namespace lapdeck
