#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include <QObject>
#include <QPointer>
#include <QString>

class QLabel;

#include "PortMap.h"

namespace lapdeck {

class Prompter;
class PortReconnect;
class SerialPortSource;
struct RaceState;

// What became of an attempt to open the race port.
enum class PortAnswer {
    Opened,
    Refused,        // no port number 1 to 16
    DemoChosen,     // "No" with no race on: demo mode is on now
    GoesOnWithout,  // "No" during a race: it goes on without the lap unit
    AnotherWanted,  // "Yes": the organiser chooses another port in Settings
};

// The port the race reads: the chosen number's device opened, the "Com Port"
// question when that fails, the status line's text, and a lap unit that was
// unplugged reopened once it is back.
class RacePort : public QObject {
    Q_OBJECT

public:
    RacePort(RaceState& state, const QString& dataFolder, PortScanner scanner, Prompter& prompter,
             std::function<void(const QString&)> reportError, QObject* parent = nullptr);
    ~RacePort() override;

    // Reads the port choices of the data folder.
    void loadChoices();
    // Checks the number and (re)opens the port on it, asking what to do when that
    // fails. A number that opens a USB adapter keeps it.
    PortAnswer open(int number);
    // At exit: the port closed, and no reopening.
    void close();
    bool isOpen() const;
    // The unit was unplugged; the port is reopened once it is back.
    bool lost() const;
    // Which device the race reads, as the status line shows it.
    QString status() const;
    // The status line this port keeps current: it says in red when the unit is lost.
    void showStatusIn(QLabel* label);
    // Shows the status again (demo mode was switched).
    void showStatus();

    // What the status line says about the race beside the port, cleared when a race
    // or practice starts and when it is reset.
    void clearRaceNotes();
    // A report came from the port.
    void reportHeard() { m_heard = true; }
    // After each race tick: a port that has said nothing for 20 s of race clock, or
    // that sends noise, is told in amber.
    void raceTicked(int32_t raceClock, bool noisy);
    // Reports that came during a pause and were dropped at Continue.
    void reportsDropped(int count);
    // A problem that must not go unnoticed during a race: the line turns red with it
    // until the next start.
    void alarm(const QString& text);
    // From now on a notice that comes during a race (a journal or a sound file that
    // failed) turns the line red beside it, leaving the race's controls working.
    void takeRaceNotices();
    // The line's text and its colour.
    enum class Alert { None, Amber, Red };
    QString statusLine() const;
    Alert alert() const;

    static constexpr int32_t kSilentMs = 20000;

    PortMap& map() { return *m_map; }
    SerialPortSource& source() { return *m_source; }
    PortReconnect& reconnect() { return *m_reconnect; }

private:
    void portLost(const QString& reason);
    void portBack();
    bool raceOn() const;

    RaceState& m_state;
    Prompter& m_prompter;
    std::function<void(const QString&)> m_reportError;
    std::unique_ptr<PortMap> m_map;
    SerialPortSource* m_source = nullptr;
    PortReconnect* m_reconnect = nullptr;
    QPointer<QLabel> m_statusLabel;
    QString m_openedDevice;  // described, as it was when the port opened
    QString m_openedPath;    // the device path, as it was when the port opened
    bool m_heard = false;    // a report came since the race started
    bool m_silent = false;
    bool m_noisy = false;
    int m_dropped = 0;
    QString m_alarm;
    bool m_back = false;  // reopened by itself, not chosen
};

}  // namespace lapdeck
