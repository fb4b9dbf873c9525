#include "RaceScreenControls.h"

#include <QLabel>
#include <QPushButton>

#include "ClickLabel.h"
#include "FormScaler.h"
#include "NameCell.h"
#include "NamePicker.h"
#include "PictureBox.h"
#include "Pictures.h"
#include "RaceState.h"
#include "ScreenTexts.h"
#include "WidgetLook.h"

namespace lapdeck {
namespace {

// The race screen is laid out for this size and scaled with the window.
constexpr QSize kDesignSize(800, 560);
constexpr int kRowTop = 134;
constexpr int kRowPitch = 58;
constexpr int kRowHeight = 55;

struct Column {
    int left;
    int width;
};
constexpr Column kNameColumn{10, 300};
constexpr Column kLapColumn{312, 80};
constexpr Column kLapTimeColumn{394, 130};
constexpr Column kBestColumn{526, 130};
constexpr Column kLagColumn{658, 132};

void point(QWidget* widget, const QCursor* hand, const QString& tip) {
    widget->setCursor(hand != nullptr ? *hand : QCursor(Qt::ArrowCursor));
    widget->setToolTip(tip);
}

}  // namespace

FormScaler* RaceScreenControls::setupRaceScreen(QWidget* form) {
    form->setObjectName(QStringLiteral("raceScreen"));
    setColours(form, QColor(16, 20, 32), Qt::white);
    const QColor headerText(230, 230, 230);

    auto place = [form](QWidget* w, const char* name, QRect rect) {
        w->setParent(form);
        w->setObjectName(QString::fromLatin1(name));
        w->setGeometry(rect);
    };
    auto cell = [](QLabel* label, Column column, int top, Qt::Alignment align) {
        label->setGeometry(column.left, top, column.width, kRowHeight);
        label->setAlignment(align | Qt::AlignVCenter);
        label->setFrameShape(QFrame::Box);
        label->setLineWidth(1);
        setFontSize(label, 22, true);
    };

    imgLapvane = new PictureBox;
    place(imgLapvane, "imgLapvane", QRect(10, 8, 170, 80));

    lblRaceFormat = new ClickLabel;
    place(lblRaceFormat, "lblRaceFormat", QRect(190, 8, 400, 80));
    lblRaceFormat->setAlignment(Qt::AlignCenter);
    lblRaceFormat->setWordWrap(true);
    setFontSize(lblRaceFormat, 22, true);
    setColours(lblRaceFormat, QColor(16, 20, 32), QColor(255, 216, 0));

    lblClock = new QLabel;
    place(lblClock, "lblClock", QRect(600, 8, 190, 80));
    lblClock->setAlignment(Qt::AlignCenter);
    lblClock->setToolTip(QStringLiteral("Clock"));
    lblClock->setText(QStringLiteral("00:00"));
    setFontSize(lblClock, 36, true);
    setColours(lblClock, Qt::black, QColor(255, 216, 0));
    lblClock->setFrameShape(QFrame::Box);

    auto header = [&](QLabel* label, const char* name, Column column, const QString& text) {
        place(label, name, QRect(column.left, 96, column.width, 34));
        label->setText(text);
        label->setAlignment(Qt::AlignCenter);
        setFontSize(label, 14, true);
        setColours(label, QColor(16, 20, 32), headerText);
    };
    lblLapNumber = new QLabel;
    header(lblLapNumber, "lblLapNumber", kLapColumn, QStringLiteral("Lap"));
    lblLapTime[0] = new QLabel;
    header(lblLapTime[0], "lblLapTime0", kLapTimeColumn, QStringLiteral("Lap Time"));
    lblBestLap = new ClickLabel;
    header(lblBestLap, "lblBestLap", kBestColumn, captions::kBestLap);
    lblBestLap->setToolTip(
        QStringLiteral("Click to toggle between \"Best Lap\", \"MPH\" & \"Median\""));
    lblLag = new ClickLabel;
    header(lblLag, "lblLag", kLagColumn, QStringLiteral("Lag Behind"));
    lblLag->setToolTip(
        QStringLiteral("Click to toggle between \"Lag Behind\", \"Lag First\" & \"Median\""));

    for (int r = 1; r <= 6; ++r) {
        const int top = kRowTop + (r - 1) * kRowPitch;
        const QString n = QString::number(r);
        lblName[r] = new NameCell(form);
        lblName[r]->setObjectName(QStringLiteral("lblName") + n);
        cell(lblName[r], kNameColumn, top, Qt::AlignLeft);
        lblName[r]->setText(FlagName{}.caption());
        lblName[r]->setToolTip(QStringLiteral("Click to change name."));
        lblLapNum[r] = new QLabel(form);
        lblLapNum[r]->setObjectName(QStringLiteral("lblLapNum") + n);
        cell(lblLapNum[r], kLapColumn, top, Qt::AlignHCenter);
        lblLapTime[r] = new QLabel(form);
        lblLapTime[r]->setObjectName(QStringLiteral("lblLapTime") + n);
        cell(lblLapTime[r], kLapTimeColumn, top, Qt::AlignHCenter);
        lblBest[r] = new ClickLabel(form);
        lblBest[r]->setObjectName(QStringLiteral("lblBest") + n);
        cell(lblBest[r], kBestColumn, top, Qt::AlignHCenter);
        lblBest[r]->setToolTip(QStringLiteral("When \"Best Lap\" displayed, click to reset"));
        lblLagTime[r] = new QLabel(form);
        lblLagTime[r]->setObjectName(QStringLiteral("lblLagTime") + n);
        cell(lblLagTime[r], kLagColumn, top, Qt::AlignHCenter);

        Select_Name[r] = new NamePicker(form);
        Select_Name[r]->setObjectName(QStringLiteral("Select_Name") + n);
        Select_Name[r]->setGeometry(kNameColumn.left, top, kNameColumn.width, kRowHeight);
        setFontSize(Select_Name[r], 18, true);
        Select_Name[r]->hide();
    }

    cmdStart = new QPushButton(QStringLiteral("Start"));
    place(cmdStart, "cmdStart", QRect(10, 490, 190, 58));
    setFontSize(cmdStart, 18, true);
    cmdAbort = new QPushButton(QStringLiteral("&Abort"));
    place(cmdAbort, "cmdAbort", QRect(210, 490, 140, 58));
    setFontSize(cmdAbort, 14, true);
    cmdAbort->setEnabled(false);

    lblRaceOver = new QLabel(QStringLiteral("Race  Over"));
    place(lblRaceOver, "lblRaceOver", QRect(400, 486, 390, 66));
    lblRaceOver->setAlignment(Qt::AlignCenter);
    setFontSize(lblRaceOver, 30, true);
    setColours(lblRaceOver, QColor(200, 0, 0), Qt::white);
    lblRaceOver->hide();

    form->resize(kDesignSize);
    auto* scaler = new FormScaler(form, kDesignSize);
    scaler->capture();
    return scaler;
}

void RaceScreenControls::drawRace(const RaceState& state, const Pictures& pictures) {
    const RaceScreen& sc = state.screen;
    for (int r = 1; r <= kFlags; ++r) {
        const ScreenRow& row = sc.row[static_cast<size_t>(r)];
        setTextIfChanged(lblName[r], state.flagName(row.flag).caption());
        setTextIfChanged(lblLapNum[r], row.lapNum);
        setTextIfChanged(lblLapTime[r], row.lapTime);
        setTextIfChanged(lblBest[r], row.best);
        setTextIfChanged(lblLagTime[r], row.lagTime);
        int32_t& shown = m_shownColour[static_cast<size_t>(r)];
        if (shown != row.colour || !lblName[r]->autoFillBackground()) {
            shown = row.colour;
            const QColor back = colourOf(row.colour);
            const QColor text = textColourOn(back);
            for (QLabel* label : {static_cast<QLabel*>(lblName[r]), lblLapNum[r], lblLapTime[r],
                                  static_cast<QLabel*>(lblBest[r]), lblLagTime[r]}) {
                setColours(label, back, text);
            }
        }
    }
    setTextIfChanged(lblBestLap, columnCaption(sc.bestColumn));
    setTextIfChanged(lblLag, columnCaption(sc.lagColumn));
    setTextIfChanged(lblClock, sc.clock);
    setTextIfChanged(lblRaceFormat, sc.raceFormat);
    if (m_shownPicture != sc.picture) {
        m_shownPicture = sc.picture;
        const QPixmap picture = pictures.picture(sc.picture);
        if (!picture.isNull()) {
            imgLapvane->setPicture(picture);
        }
    }
    if (lblRaceOver->isHidden() == sc.raceOverVisible) {
        lblRaceOver->setVisible(sc.raceOverVisible);
    }
    const QString caption = startCaption(state.phase);
    if (cmdStart->text() != caption) {
        cmdStart->setText(caption);
    }
    cmdAbort->setEnabled(state.phase == RacePhase::Paused);
}

void RaceScreenControls::pointAtBest(int row, const RaceState& state, const QCursor& hand) {
    ClickLabel* cell = lblBest[row];
    if (!state.timerRunning) {
        point(cell, nullptr, QString());
    } else if (state.screen.bestColumn == BestColumn::BestLap &&
               !state.isDisabled(state.screen.row[static_cast<size_t>(row)].flag)) {
        point(cell, &hand, QStringLiteral("Click to reset \"Best Lap\""));
    } else {
        cell->setCursor(Qt::ArrowCursor);
    }
}

void RaceScreenControls::pointAtLag(const RaceState& state, const QCursor& hand) {
    if (state.IsPractice) {
        point(lblLag, nullptr, QString());
    } else {
        point(lblLag, &hand,
              QStringLiteral("Click to toggle between \"Lag Behind\", \"Lag First\" & \"Median\""));
    }
}

void RaceScreenControls::pointAtRaceFormat(const RaceState& state, const QCursor& hand) {
    if (!state.timerRunning && state.phase == RacePhase::Idle) {
        point(lblRaceFormat, &hand,
              QStringLiteral("Click here or go to \"Race Format\" menu to change race type"));
    } else {
        point(lblRaceFormat, nullptr, QString());
    }
}

}  // namespace lapdeck
