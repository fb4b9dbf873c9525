#pragma once

// The one set of stand-ins for the world around the race engine, shared by every
// test folder and the benchmarks (so nothing here needs a test framework).

#include <deque>
#include <initializer_list>
#include <string>
#include <vector>

#include <QDateTime>
#include <QString>
#include <QStringList>

#include "RaceEngine.h"
#include "RaceHost.h"

namespace lapdeck::test {

struct Prompt {
    bool question = false;
    QString title;
    QString text;
    Icon icon = Icon::None;
    bool defaultNo = false;
    bool notice = false;  // shown without a modal box
};

// Records every message and question. Questions take the scripted answers in turn;
// once the script is used up, every further question is answered Yes (an organiser
// who goes on past every question), so a test that cares counts `prompts`.
class ScriptedPrompter : public Prompter {
public:
    std::deque<Answer> answers;
    std::vector<Prompt> prompts;

    Answer ask(const QString& title, const QString& text, Icon icon, bool defaultNo) override {
        prompts.push_back({true, title, text, icon, defaultNo});
        if (answers.empty()) {
            return Answer::Yes;
        }
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    void inform(const QString& title, const QString& text, Icon icon) override {
        prompts.push_back({false, title, text, icon, false});
    }
    void showNotice(const QString& title, const QString& text, Icon icon) override {
        prompts.push_back({false, title, text, icon, false, true});
    }
    // Input boxes answered from `inputs`, then Cancel; recorded as "prompt [shown]".
    QString input(const QString& title, const QString& prompt, const QString& shown) override {
        prompts.push_back(
            {true, title, prompt + QStringLiteral(" [") + shown + u']', Icon::None, false});
        return inputs.isEmpty() ? QString() : inputs.takeFirst();
    }
    QStringList inputs;

    // Every prompt as a line "ask|tell|notice icon[ no]: title|text", for one comparison.
    std::string shown() const {
        static const char* const icons[] = {"-", "info", "excl", "question", "error"};
        std::string out;
        for (const Prompt& p : prompts) {
            out += std::string(p.question ? "ask "
                               : p.notice ? "notice "
                                          : "tell ") +
                   icons[static_cast<int>(p.icon)] + (p.defaultNo ? " no" : "") + ": " +
                   (p.title + u'|' + p.text).toStdString() + "\n";
        }
        return out;
    }
};

// Hands out the scripted numbers in turn, then `fallback` for ever.
class ScriptedRandom : public RandomSource {
public:
    explicit ScriptedRandom(double fallback = 0.5) : fallback(fallback) {}
    std::deque<double> values;
    double fallback;
    int draws = 0;
    int reseeds = 0;

    double next() override {
        ++draws;
        if (values.empty()) {
            return fallback;
        }
        const double v = values.front();
        values.pop_front();
        return v;
    }
    void reseed() override { ++reseeds; }
};

// The reports waiting at the port, one per read.
class QueuedReports : public ReportSource {
public:
    std::deque<QString> pending;
    int reads = 0;

    void push(std::initializer_list<const char*> reports) {
        for (const char* r : reports) {
            pending.push_back(QString::fromUtf8(r));
        }
    }
    bool hasInput() override { return !pending.empty(); }
    QString read() override {
        ++reads;
        const QString text = pending.front();
        pending.pop_front();
        return text;
    }
};

// Records everything the engine asks of the world around it. With `engine` set the
// start lights go green the moment they are asked for: race clock 0 is the green light.
class RecordingHost : public RaceHost {
public:
    RaceEngine* engine = nullptr;
    QStringList sounds;  // "file volume pan"
    int beeps = 0;
    std::vector<bool> timerCalls;
    std::vector<bool> startSequences;  // one entry per request: with countdown or not
    int pickerCloses = 0;
    PerFlag<QString> names = [] {
        PerFlag<QString> n;
        for (int f = 1; f <= kFlags; ++f) {
            n[f] = QStringLiteral("Racer %1").arg(f);
        }
        return n;
    }();
    LagColumn lagMode = LagColumn::LagFirst;
    QDateTime fixedNow{QDate(2026, 12, 5), QTime(16, 7, 42)};

    void playSound(const QString& file, int volume, int pan) override {
        sounds << QStringLiteral("%1 %2 %3").arg(file).arg(volume).arg(pan);
    }
    void beep() override { ++beeps; }
    void setTimerRunning(bool running) override { timerCalls.push_back(running); }
    void runStartSequence(bool withCountdown) override {
        startSequences.push_back(withCountdown);
        if (engine != nullptr) {
            engine->greenLight(nullptr);
            engine->startSequenceClosed();
        }
    }
    PerFlag<QString> loadRacerNames() override { return names; }
    LagColumn readLagMode() override { return lagMode; }
    QDateTime now() override { return fixedNow; }
    void closeNamePickers() override { ++pickerCloses; }
    void reportsDropped(int32_t clock, const QStringList& texts) override {
        dropped << QString::number(clock) + u':' + texts.join(u',');
    }
    QStringList dropped;  // "clock:text,text" for each Continue that dropped reports

    int count(const char* file) const {
        return static_cast<int>(sounds.filter(QLatin1String(file) + u' ').size());
    }
    // The cues played, without the pass-by sounds, as "file volume pan, ...".
    std::string cues() const {
        QStringList cues = sounds;
        cues.removeIf([](const QString& s) { return s.startsWith(u"cargoingby.wav"); });
        return cues.join(QStringLiteral(", ")).toStdString();
    }
};

}  // namespace lapdeck::test

// The names the benchmarks know these doubles by.
namespace lapdeck::stubs {
using YesPrompter = test::ScriptedPrompter;
using FixedRandom = test::ScriptedRandom;
using InstantStartHost = test::RecordingHost;
}  // namespace lapdeck::stubs
