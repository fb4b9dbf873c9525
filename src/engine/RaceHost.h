#pragma once

#include <functional>

#include <QDateTime>
#include <QString>
#include <QStringList>

#include "RaceState.h"
#include "ScreenTexts.h"

namespace lapdeck {

enum class Icon { None, Information, Exclamation, Question, Error };
enum class Answer { Yes, No };

// Questions and messages to the user. Tests answer them; the program shows message boxes.
class Prompter {
public:
    virtual ~Prompter() = default;
    // An empty title means the program's default title.
    virtual Answer ask(const QString& title, const QString& text, Icon icon, bool defaultNo) = 0;
    virtual void inform(const QString& title, const QString& text, Icon icon) = 0;
    // A message that must stop nothing: no modal box where the prompter can avoid one,
    // and the keyboard stays with the window.
    virtual void showNotice(const QString& title, const QString& text, Icon icon) {
        inform(title, text, icon);
    }
    // A problem found while something else goes on (a journal or a sound file that
    // failed): the taker's, while one is set and takes it; otherwise told as inform().
    void notify(const QString& title, const QString& text, Icon icon) {
        if (m_noticeTaker && m_noticeTaker(title, text, icon)) {
            return;
        }
        inform(title, text, icon);
    }
    using NoticeTaker = std::function<bool(const QString&, const QString&, Icon)>;
    void takeNotices(NoticeTaker taker) { m_noticeTaker = std::move(taker); }
    // An input box: the text typed, or an empty text for Cancel.
    virtual QString input(const QString& title, const QString& prompt, const QString& defaultText) {
        (void)title;
        (void)prompt;
        (void)defaultText;
        return {};
    }

private:
    NoticeTaker m_noticeTaker;
};

// Uniform random numbers in [0, 1) for the demo generator and the start lights.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual double next() = 0;
    // Reseeds from the clock (each window reset); a scripted source may ignore it.
    virtual void reseed() {}
};

// Where reports come from: the serial port (one report per character read) or a
// recorded journal.
class ReportSource {
public:
    virtual ~ReportSource() = default;
    virtual bool hasInput() = 0;
    virtual QString read() = 0;
};

// What the engine asks of the world around it: sound, the race timer, the start
// sequence windows, the files behind the names and the lag mode. Every call has a
// harmless default so that tools and tests override only what they watch.
class RaceHost {
public:
    virtual ~RaceHost() = default;
    virtual void playSound(const QString& file, int volume, int pan) {
        (void)file;
        (void)volume;
        (void)pan;
    }
    virtual void beep() {}
    virtual void setTimerRunning(bool running) { (void)running; }
    // Shows the countdown (if asked) and the start lights, modally. The windows call
    // RaceEngine::greenLight() and RaceEngine::startSequenceClosed().
    virtual void runStartSequence(bool withCountdown) { (void)withCountdown; }
    // The names stored for flags 1..6 (empty where none is stored).
    virtual PerFlag<QString> loadRacerNames() { return {}; }
    // The stored lag column mode.
    virtual LagColumn readLagMode() { return LagColumn::LagFirst; }
    virtual QDateTime now() { return QDateTime::currentDateTime(); }
    virtual void closeNamePickers() {}
    // Every report as it is read (port text, or the demo generator's flag number),
    // with the race clock of its tick, before it is counted: what a journal keeps.
    virtual void reportRead(int32_t clock, const QString& text) {
        (void)clock;
        (void)text;
    }
    // The reports that came while the race was paused, dropped at Continue, with the
    // race clock of the pause.
    virtual void reportsDropped(int32_t clock, const QStringList& texts) {
        (void)clock;
        (void)texts;
    }
    // A race or practice passed its start checks and is about to run (before the
    // start sequence or the practice's first tick).
    virtual void raceStarting() {}
    // The race was reset or aborted: its results are saved or given up.
    virtual void raceClosed() {}
    // A lap was counted for `flag`: its number, its time in ms, and whether it is
    // the flag's new best lap of the race.
    virtual void lapCounted(int flag, int lap, int32_t lapMs, bool newBest) {
        (void)flag;
        (void)lap;
        (void)lapMs;
        (void)newBest;
    }
};

}  // namespace lapdeck
