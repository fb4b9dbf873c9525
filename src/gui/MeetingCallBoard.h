#pragma once

#include <QLabel>

namespace lapdeck {

// The next heat's racers in large letters over the race screen, so the pits can
// read who is called. Clicks go through to the race screen beneath.
class MeetingCallBoard : public QLabel {
    Q_OBJECT

public:
    explicit MeetingCallBoard(QWidget* raceScreen);

    // Shows `lines` (the first larger) centred over the race screen.
    void call(const QStringList& lines);
};

}  // namespace lapdeck
