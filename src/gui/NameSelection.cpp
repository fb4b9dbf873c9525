#include "NameSelection.h"

#include <utility>

#include <QAbstractItemView>
#include <QTimer>

#include "ConfigStore.h"
#include "NameAssignment.h"
#include "NameCell.h"
#include "NamePicker.h"
#include "ProgramFiles.h"
#include "RaceScreenControls.h"
#include "RaceState.h"
#include "RosterModel.h"
#include "ScreenTexts.h"

namespace lapdeck {
namespace {
using captions::kCrLf;
}  // namespace

NameSelection::NameSelection(RaceScreenControls& controls, RaceState& state, ConfigStore& config,
                             Prompter& prompter, QCursor racerPointer, std::function<void()> redraw,
                             std::function<void(const QString&)> reportError, QWidget* window)
    : QObject(window),
      m_controls(controls),
      m_state(state),
      m_config(config),
      m_prompter(prompter),
      m_racerPointer(std::move(racerPointer)),
      m_redraw(std::move(redraw)),
      m_reportError(std::move(reportError)),
      m_window(window) {
    for (int r = 1; r <= kFlags; ++r) {
        NamePicker* picker = m_controls.Select_Name[r];
        connect(m_controls.lblName[r], &ClickLabel::clicked, this,
                [this, r]() { lblName_Click(r); });
        connect(m_controls.lblName[r], &ClickLabel::mouseMoved, this,
                [this, r]() { lblName_MouseMove(r); });
        connect(picker, &QComboBox::activated, this, [this, r]() { Select_Name_Click(r); });
        connect(picker, &NamePicker::focusLost, this, [this, r]() { Select_Name_LostFocus(r); });
        connect(picker, &NamePicker::popupClosed, this, [this, r]() { popupClosed(r); });
        connect(picker, &NamePicker::pressedOutside, this,
                [this, r](QPoint global) { pressedOutside(r, global); });
    }
}

bool NameSelection::raceUnderWay() const {
    return m_state.timerRunning || m_state.phase != RacePhase::Idle;
}

void NameSelection::LoadRacerLists() {
    LoadResult<QStringList> roster = m_config.loadRoster();
    if (!roster.ok()) {
        m_reportError(roster.error->message());
    }
    const QString leftOut = leaveOutRefusedNames(roster.value, FileNames::roster);
    // Said once, not at every reset that reads the roster again.
    if (!leftOut.isEmpty() && leftOut != m_leftOutTold) {
        m_leftOutTold = leftOut;
        m_reportError(leftOut);
    }
    showRoster(roster.value);
}

void NameSelection::showRoster(const QStringList& names) {
    // The roster is sorted once; all six lists take the same entries.
    const QStringList entries = namePickerEntries(names);
    for (int i = 1; i <= kFlags; ++i) {
        m_controls.Select_Name[i]->setEntries(entries);
    }
}

void NameSelection::lblName_Click(int index) {
    for (int k = 1; k <= kFlags; ++k) {
        if (k != index) {
            m_controls.Select_Name[k]->hide();
        }
    }
    if (raceUnderWay()) {
        return;
    }
    if (m_state.isDisabled(index)) {
        m_prompter.inform(QStringLiteral("Lane Disabled"),
                          QStringLiteral("This lane is disabled.") + kCrLf +
                              QStringLiteral("Go to Settings to enable it."),
                          Icon::Exclamation);
        return;
    }
    NamePicker* picker = m_controls.Select_Name[index];
    picker->setCurrentIndex(pickerStartIndex(picker->entries(), m_state.flagName(index).caption()));
    picker->setGeometry(m_controls.lblName[index]->geometry());
    picker->show();
    picker->raise();
    picker->setFocus(Qt::MouseFocusReason);
    if (m_window->isVisible()) {
        picker->showPopup();
    }
}

void NameSelection::Select_Name_Click(int index) {
    NamePicker* picker = m_controls.Select_Name[index];
    if (!picker->isVisibleTo(m_window) || picker->currentIndex() < 0) {
        return;
    }
    const QString picked = picker->currentText();
    PerFlag<FlagName> names;
    for (int k = 1; k <= kFlags; ++k) {
        names[k] = m_state.flagName(k);
    }
    for (size_t n = rowsAlreadyNamed(names, index, picked).size(); n > 0; --n) {
        m_prompter.inform(QStringLiteral("Racer's Name"),
                          QStringLiteral("Warning, name already exists."), Icon::Exclamation);
    }
    names[index] = flagNameOf(false, picked);
    picker->hide();
    m_state.RacerName = namesToStore(names, m_state.RacerName);
    if (const auto error = m_config.saveRacerNames(m_state.RacerName)) {
        m_reportError(error->message());
    }
    m_redraw();
}

void NameSelection::Select_Name_LostFocus(int index) {
    m_controls.Select_Name[index]->hide();
    m_controls.lblName[index]->show();
}

void NameSelection::pressedOutside(int index, QPoint global) {
    // A click on another name cell closes this list and opens that one, in one
    // click. A click on this cell itself only closes its list.
    m_openNext = 0;
    for (int k = 1; k <= kFlags; ++k) {
        QWidget* cell = m_controls.lblName[k];
        if (k != index && cell->rect().contains(cell->mapFromGlobal(global))) {
            m_openNext = k;
        }
    }
}

void NameSelection::popupClosed(int index) {
    // The list reports a pick only after it has closed: a picker still up once
    // that is done goes, so the cell shows again in its own colours.
    QTimer::singleShot(0, this, [this, index]() {
        NamePicker* picker = m_controls.Select_Name[index];
        if (picker->isVisible() && !picker->view()->isVisible()) {
            Select_Name_LostFocus(index);
        }
        const int next = std::exchange(m_openNext, 0);
        if (next != 0) {
            lblName_Click(next);
        }
    });
}

void NameSelection::CloseComboNames() {
    for (int k = 1; k <= kFlags; ++k) {
        if (m_controls.Select_Name[k] != nullptr) {
            m_controls.Select_Name[k]->hide();
        }
    }
}

void NameSelection::lblName_MouseMove(int index) {
    if (raceUnderWay()) {
        return;
    }
    ClickLabel* cell = m_controls.lblName[index];
    cell->setToolTip(QString());
    if (m_state.isDisabled(index)) {
        cell->setCursor(Qt::ArrowCursor);
        cell->setToolTip(QStringLiteral("To enable, go to \"Settings\" menu"));
    } else {
        cell->setCursor(m_racerPointer);
        cell->setToolTip(QStringLiteral("Click to select name"));
    }
}

}  // namespace lapdeck
