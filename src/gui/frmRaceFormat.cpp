#include "frmRaceFormat.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "RaceHost.h"
#include "ValueLists.h"
#include "WidgetLook.h"

namespace lapdeck {

frmRaceFormat::frmRaceFormat(const RaceFormat& stored, Store store, Prompter& prompter,
                             QWidget* parent)
    : QDialog(parent), m_model(stored), m_store(std::move(store)), m_prompter(prompter) {
    setObjectName(QStringLiteral("frmRaceFormat"));
    setWindowTitle(QStringLiteral("  Race Format"));

    fraRaceFormat = new QGroupBox(QStringLiteral("Select Race Format"), this);
    fraRaceFormat->setObjectName(QStringLiteral("frmRaceFormat"));
    auto option = [this](const char* name, const QString& text, const QString& tip) {
        auto* button = new QRadioButton(text, fraRaceFormat);
        button->setObjectName(QString::fromLatin1(name));
        button->setToolTip(tip);
        return button;
    };
    optPractice =
        option("optPractice", QStringLiteral("Practice"), QStringLiteral("Unlimited Race time"));
    optLapRace =
        option("optLapRace", QStringLiteral("Race, Laps"), QStringLiteral("Select No of Laps"));
    optTimedRace = option("optTimedRace", QStringLiteral("Race, Minutes"),
                          QStringLiteral("Select time in minutes"));
    cmbSelectNoOfLaps = new QComboBox(fraRaceFormat);
    cmbSelectNoOfLaps->setObjectName(QStringLiteral("cmbSelectNoOfLaps"));
    cmbSelectNoOfLaps->setToolTip(QStringLiteral("Select No of Laps"));
    cmbSelectNoOfLaps->addItems(ValueLists::lapCounts());
    cmbSelectTime = new QComboBox(fraRaceFormat);
    cmbSelectTime->setObjectName(QStringLiteral("cmbSelectTime"));
    cmbSelectTime->setToolTip(QStringLiteral("Select time in minutes"));
    cmbSelectTime->addItems(ValueLists::minuteCounts());
    chkDemo = new QCheckBox(QStringLiteral("Demo Mode"), fraRaceFormat);
    chkDemo->setObjectName(QStringLiteral("chkDemo"));
    chkDemo->setToolTip(QStringLiteral("Will generate lap times automatically"));

    auto* grid = new QGridLayout(fraRaceFormat);
    grid->addWidget(optPractice, 0, 0);
    grid->addWidget(optLapRace, 1, 0);
    grid->addWidget(cmbSelectNoOfLaps, 1, 1);
    grid->addWidget(optTimedRace, 2, 0);
    grid->addWidget(cmbSelectTime, 2, 1);
    grid->addWidget(chkDemo, 3, 0, 1, 2);
    grid->setColumnStretch(2, 1);

    QHBoxLayout* buttons = okCancelRow(this, cmdOk, cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fraRaceFormat);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetMinimumSize);

    const RaceFormat& f = m_model.value();
    cmbSelectNoOfLaps->setCurrentIndex(f.lapsPos);
    cmbSelectTime->setCurrentIndex(f.minutesPos);
    optTimedRace->setChecked(f.option() == RaceOption::TimedRace);
    optLapRace->setChecked(f.option() == RaceOption::LapRace);
    optPractice->setChecked(f.option() == RaceOption::Practice);
    chkDemo->setChecked(f.demo);
    showLists();

    connect(optPractice, &QRadioButton::clicked, this, [this]() {
        m_model.optPractice_Click();
        showLists();
    });
    connect(optLapRace, &QRadioButton::clicked, this, [this]() {
        m_model.optLapRace_Click();
        showLists();
    });
    connect(optTimedRace, &QRadioButton::clicked, this, [this]() {
        m_model.optTimedRace_Click();
        showLists();
    });
    connect(cmbSelectNoOfLaps, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_model.setLapsPos(index); });
    connect(cmbSelectTime, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_model.setMinutesPos(index); });
    connect(chkDemo, &QCheckBox::toggled, this, [this](bool on) { m_model.setDemo(on); });
    connect(cmdOk, &QPushButton::clicked, this, &frmRaceFormat::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void frmRaceFormat::showLists() {
    cmbSelectNoOfLaps->setEnabled(m_model.lapsListEnabled());
    cmbSelectTime->setEnabled(m_model.minutesListEnabled());
}

void frmRaceFormat::cmdOk_Click() {
    if (const auto missing = m_model.validate()) {
        m_prompter.inform(missing->title, missing->text, missing->icon);
        cmbSelectTime->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (const auto error = m_store(m_model.value())) {
        m_prompter.inform(QString(), error->message(), Icon::Error);
        return;
    }
    accept();
}

}  // namespace lapdeck
