#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include <QDialog>
#include <QTimer>

#include "NoiseWatch.h"
#include "RaceState.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace lapdeck {

class ReportSource;

// Port diagnostics: counts the reports of each flag (its hits) so the organiser
// can check the sensors without a race. It reads the race's own port; with no port
// open it says why in place of the counts and reads nothing.
class frmVx9Diag : public QDialog {
    Q_OBJECT

public:
    // Milliseconds of a clock that does not go back.
    using Clock = std::function<int64_t()>;

    // `port` is null when no port is open; `noPort` then says why, in the user's words.
    // `portNumber` names the port when it sends noise; `clock` empty: the system's.
    frmVx9Diag(ReportSource* port, const QString& noPort, const PerFlag<int32_t>& flagColours,
               std::function<void()> beep, QWidget* parent = nullptr, int portNumber = 1,
               Clock clock = {});

    void tmrDiag_Timer();
    void cmdReset_Click();

    QTimer tmrDiag;
    QPlainTextEdit* txtDiag = nullptr;
    QPushButton* cmdExit = nullptr;
    QPushButton* cmdReset = nullptr;
    QLabel* imgLapvane = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* lblFlag = nullptr;
    std::array<QLabel*, 7> lblLaneNumber{};
    std::array<QLabel*, 7> lblHit{};
    // Shown instead of the counts when there is no port to read.
    QLabel* lblNoPort = nullptr;
    // Shown while the port sends data that is no flag number.
    QLabel* lblNoise = nullptr;

    // Closing by any way (Exit, Escape, the close box) empties the port.
    void done(int result) override;

private:
    void Form_Unload();

    ReportSource* m_port;
    std::function<void()> m_beep;
    int m_portNumber;
    Clock m_clock;
    NoiseWatch m_noise;
    bool m_unloaded = false;
};

}  // namespace lapdeck
