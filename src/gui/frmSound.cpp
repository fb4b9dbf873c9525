#include "frmSound.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace lapdeck {

frmSound::frmSound(const SoundChoices& current, const QString& silentReason, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmSound"));
    setWindowTitle(QStringLiteral("Sound"));
    setModal(true);

    auto* frame = new QGroupBox(QStringLiteral("Sound"), this);
    chkSoundLap = new QCheckBox(QStringLiteral("Every Lap"), frame);
    chkSoundLap->setObjectName(QStringLiteral("chkSoundLap"));
    chkSoundLap->setToolTip(QStringLiteral("Call out the time of every lap"));
    chkSoundLap->setChecked(current.everyLap);
    chkSoundBest = new QCheckBox(QStringLiteral("Best Lap"), frame);
    chkSoundBest->setObjectName(QStringLiteral("chkSoundBest"));
    chkSoundBest->setToolTip(QStringLiteral("Call out a racer's new best lap"));
    chkSoundBest->setChecked(current.bestLap);
    auto* boxes = new QVBoxLayout(frame);
    boxes->addWidget(chkSoundLap);
    boxes->addWidget(chkSoundBest);

    Command1 = new QPushButton(QStringLiteral("Ok"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    connect(Command1, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    if (!silentReason.isEmpty()) {
        lblSilent = new QLabel(silentReason, this);
        lblSilent->setObjectName(QStringLiteral("lblSilent"));
        lblSilent->setWordWrap(true);
        layout->addWidget(lblSilent);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command1);
    layout->addLayout(buttons);
    setMinimumWidth(260);
}

SoundChoices frmSound::choices() const {
    return {chkSoundLap->isChecked(), chkSoundBest->isChecked()};
}

}  // namespace lapdeck
