#pragma once

// Minimal stand-ins for the world around the race engine, for tests and benchmarks
// that run races without windows: every question is answered Yes, the random source
// is fixed, and the start lights go green the moment they are asked for.

#include "RaceEngine.h"
#include "RaceHost.h"

namespace lapdeck::stubs {

class YesPrompter : public Prompter {
public:
    Answer ask(const QString&, const QString&, Icon, bool) override { return Answer::Yes; }
    void inform(const QString&, const QString&, Icon) override {}
};

class FixedRandom : public RandomSource {
public:
    explicit FixedRandom(double value = 0.5) : m_value(value) {}
    double next() override { return m_value; }

private:
    double m_value;
};

// Race clock 0 is the green light; names are "Racer 1".."Racer 6" unless set.
class InstantStartHost : public RaceHost {
public:
    RaceEngine* engine = nullptr;
    PerFlag<QString> names = defaultNames();
    QString lagMode = QStringLiteral("Lag First");

    void runStartSequence(bool) override {
        engine->greenLight(nullptr);
        engine->startSequenceClosed();
    }
    PerFlag<QString> loadRacerNames() override { return names; }
    QString readLagMode() override { return lagMode; }

    static PerFlag<QString> defaultNames() {
        PerFlag<QString> result;
        for (int f = 1; f <= kFlags; ++f) {
            result[f] = QStringLiteral("Racer %1").arg(f);
        }
        return result;
    }
};

}  // namespace lapdeck::stubs
