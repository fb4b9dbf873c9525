#pragma once

#include <QDialog>

#include "SoundChoices.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace lapdeck {

// The sound options: lap-time callouts for every lap and for a new best lap. It
// opens showing the choices in force (they are kept between runs). `silentReason`,
// when not empty, says why the callouts cannot be heard on this machine.
class frmSound : public QDialog {
    Q_OBJECT

public:
    frmSound(const SoundChoices& current, const QString& silentReason, QWidget* parent = nullptr);

    QCheckBox* chkSoundLap = nullptr;
    QCheckBox* chkSoundBest = nullptr;
    QPushButton* Command1 = nullptr;
    QLabel* lblSilent = nullptr;

    SoundChoices choices() const;
};

}  // namespace lapdeck
