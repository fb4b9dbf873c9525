#pragma once

#include <QRandomGenerator>

#include "RaceHost.h"

namespace lapdeck {

// Uniform numbers in [0, 1), seeded from the clock at every window reset so each
// race draws new paces and start-light holds.
class ClockRandom : public RandomSource {
public:
    ClockRandom() { reseed(); }
    double next() override { return m_generator.generateDouble(); }
    void reseed() override;

private:
    QRandomGenerator m_generator;
};

}  // namespace lapdeck
