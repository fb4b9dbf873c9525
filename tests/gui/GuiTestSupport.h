#pragma once

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>

#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include "../support/EngineStubs.h"
#include "../support/TestHelpers.h"
#include "ConfigStore.h"
#include "FileChooser.h"
#include "PagePrinter.h"
#include "ProgramFiles.h"
#include "ProgramServices.h"
#include "RaceFormat.h"
#include "SerialPortSource.h"
#include "Settings.h"
#include "SoundPlayer.h"
#include "StartSequenceRunner.h"
#include "ValueLists.h"
#include "frmLapdeck.h"
#include "frmSummary.h"
#include "frmViewLaps.h"

namespace lapdeck::test {

// Each sound as "file volume pan", after the race clock once `clock` is set.
class RecordingSound : public SoundPlayer {
public:
    void play(const QString& file, int volume, int pan) override {
        played << (clock ? QString::number(*clock) + u' ' : QString()) +
                      QStringLiteral("%1 %2 %3").arg(file).arg(volume).arg(pan);
    }
    QStringList played;
    const int32_t* clock = nullptr;
};

// A printer that keeps each printout; with `outcome` NoPrinter it is a machine
// without one (PDFs are then made for real).
class KeepingPrinter : public PagePrinter {
public:
    explicit KeepingPrinter(Outcome outcome = Outcome::Printed) : outcome(outcome) {}
    Result printOnDefault(const Printout& printout) override {
        printed.push_back(printout);
        return {outcome, outcome == Outcome::NoPrinter ? QStringLiteral("No printer is installed.")
                                                       : QString()};
    }
    Outcome outcome;
    std::vector<Printout> printed;
};

// Gives the green light at once, as the light window would, without its seconds.
class ImmediateStart : public StartSequenceRunner {
public:
    void run(RaceEngine& engine, ReportSource*, bool withCountdown,
             const std::function<void()>&) override {
        lastWithCountdown = withCountdown;
        engine.greenLight(nullptr);
        engine.startSequenceClosed();
    }
    bool lastWithCountdown = false;
};

// A data folder with working defaults that a test adjusts before the window loads.
// `at` names an existing folder instead of a fresh one.
struct DataFolder {
    explicit DataFolder(const QString& at = {}) : folder(at.isEmpty() ? dir.path() : at) {
        store.seedMissingFiles();
    }
    QTemporaryDir dir;
    QString folder;
    ConfigStore store{folder};
    Settings settings = defaultSettings();

    QString path(const QString& name) const { return QDir(folder).filePath(name); }
    // Flags 1 to 6 from "Ann,Bob,...", an empty field for no name.
    void names(const QString& csv) {
        PerFlag<QString> names;
        const QStringList parts = csv.split(u',');
        for (int f = 1; f <= kFlags && f <= parts.size(); ++f) {
            names[static_cast<size_t>(f)] = parts[f - 1];
        }
        saveRacerNames(path(FileNames::racerNames), names);
    }
    // The shortest lap counted, as the settings' list has it ("1" second, "2", ...).
    void minLap(const QString& seconds) {
        settings.minLapPos =
            static_cast<int16_t>(ValueLists::positionOf(ValueLists::minLapTimes(), seconds));
        saveSettings(path(FileNames::settings), settings);
    }
    void format(RaceOption option, int laps = 10) {
        RaceFormat format = defaultRaceFormat();
        format.setOption(option);
        format.lapsPos = static_cast<int16_t>(
            ValueLists::positionOf(ValueLists::lapCounts(), QString::number(laps)));
        saveRaceFormat(path(FileNames::raceFormat), format);
    }
};

// The main window over a data folder, with scripted answers, silence and an
// immediate start sequence, the program's own services for the rest; `adjust` may
// change the services before it loads.
struct WindowRig {
    explicit WindowRig(DataFolder& folder, const std::function<void(LapdeckServices&)>& adjust = {})
        : data(folder) {
        LapdeckServices services;
        services.prompter = &prompter;
        services.random = &random;
        services.sound = &sound;
        services.startSequence = &start;
        if (adjust) {
            adjust(services);
        }
        program = std::make_unique<ProgramServices>(services, data.folder);
        window = std::make_unique<frmLapdeck>(state, data.store, program->services());
    }

    // Ticks of 10 ms (the last one shorter) until the race clock reads `clock`.
    void advanceTo(int32_t clock) {
        while (state.RaceClock < clock && state.RaceOver == 0) {
            window->Timer1_Timer(std::min<int32_t>(10, clock - state.RaceClock));
        }
    }
    // A report read at the race clock `clock`.
    void cross(int32_t clock, const QString& report) {
        advanceTo(clock);
        window->engine().handleReport(report);
        window->drawScreen();
    }
    void cross(int32_t clock, const char* report) { cross(clock, qs(report)); }

    DataFolder& data;
    RaceState state;
    ScriptedPrompter prompter;
    ScriptedRandom random;
    RecordingSound sound;
    ImmediateStart start;
    std::unique_ptr<ProgramServices> program;
    std::unique_ptr<frmLapdeck> window;
};

// The main window, opened once a test has written its data folder; port 1 has no
// device.
class WindowTest : public ::testing::Test {
protected:
    frmLapdeck& open() {
        rig = std::make_unique<WindowRig>(data);
        rig->window->portMap().choose(1, QStringLiteral("/nonexistent/lapdeck-tty"));
        return *rig->window;
    }
    DataFolder data;
    std::unique_ptr<WindowRig> rig;
};

// Runs `act` on the modal dialog of type T that `open` puts on screen, while its
// exec() waits. A dialog that `act` leaves open is closed with Cancel afterwards;
// the result says whether it was still open.
template <typename T>
bool onModal(const std::function<void(T&)>& act, const std::function<void()>& open) {
    bool found = false;
    bool leftOpen = false;
    QTimer::singleShot(0, [&]() {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        found = true;
        act(*dialog);
        leftOpen = dialog->isVisible();
        if (leftOpen) {
            dialog->reject();
        }
    });
    open();
    EXPECT_TRUE(found) << "no " << T::staticMetaObject.className() << " was opened";
    return leftOpen;
}

// Runs the event loop (race timer, port, reopening) until `done` or `ms` of real
// time, sleeping between events as the program does; true when done.
inline bool runUntil(const std::function<bool()>& done, int ms) {
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < ms) {
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return done();
}

// The race timer's clock, moved by hand: a race runs without waiting for real time.
struct HandClock {
    std::function<void(LapdeckServices&)> services() {
        return [this](LapdeckServices& s) { s.clock = [this]() { return ns; }; };
    }
    void advance(int ms) { ns += int64_t{ms} * 1000000; }
    void advanceTo(int64_t ms) { ns = std::max(ns, ms * 1000000); }
    int64_t ms() const { return ns / 1000000; }
    int64_t ns = 0;
};

// Hands out the names a user would have chosen, in turn, for saving and opening;
// none left is Cancel.
class ScriptedFiles : public FileChooser {
public:
    QString saveFileName(QWidget*, const QString&, const QString& proposed,
                         const QString&) override {
        asked << proposed;
        return names.isEmpty() ? QString() : names.takeFirst();
    }
    QString openFileName(QWidget*, const QString&, const QString&) override {
        return names.isEmpty() ? QString() : names.takeFirst();
    }
    QStringList names;
    QStringList asked;  // the proposed name of each save
};

// A pseudo-terminal pair in raw mode: the window opens the follower end as its
// port, the test writes the lap counter's bytes into the leader end.
struct Pty {
    Pty() {
        if (openpty(&leader, &follower, name, nullptr, nullptr) != 0) {
            return;
        }
        for (int fd : {follower, leader}) {
            termios raw{};
            tcgetattr(fd, &raw);
            cfmakeraw(&raw);
            tcsetattr(fd, TCSANOW, &raw);
        }
    }
    ~Pty() {
        for (int fd : {leader, follower}) {
            if (fd >= 0) {
                close(fd);
            }
        }
    }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    bool ok() const { return leader >= 0; }
    QString path() const { return QString::fromLocal8Bit(name); }
    void send(const char* bytes) const {
        ASSERT_EQ(write(leader, bytes, strlen(bytes)), static_cast<ssize_t>(strlen(bytes)));
    }

    int leader = -1;
    int follower = -1;
    char name[256] = {};
};

// The kill tests' other half: this test program again, running only the test
// `child` with `env` added. The child waits to be killed.
inline void startChild(QProcess& process, const QString& child,
                       const QList<std::pair<QString, QString>>& env) {
    QProcessEnvironment all = QProcessEnvironment::systemEnvironment();
    for (const auto& [name, value] : env) {
        all.insert(name, value);
    }
    process.setProcessEnvironment(all);
    process.start(QCoreApplication::applicationFilePath(),
                  {QStringLiteral("--gtest_filter=") + child});
}
inline void waitToBeKilled() {
    runUntil([]() { return false; }, 60000);
    ADD_FAILURE() << "not killed";
}

// Lets the port's notifier take what the pty delivered (real I/O, so a short wait).
inline void waitForInput(SerialPortSource& port) {
    runUntil([&port]() { return port.hasInput(); }, 3000);  // hasInput pulls what arrived
}

}  // namespace lapdeck::test
