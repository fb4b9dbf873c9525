#include "ClockRandom.h"

#include <chrono>

#include <QDateTime>

namespace lapdeck {

void ClockRandom::reseed() {
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    const quint64 seed = static_cast<quint64>(QDateTime::currentMSecsSinceEpoch()) ^
                         (static_cast<quint64>(ticks) << 7);
    m_generator.seed(static_cast<quint32>(seed ^ (seed >> 32)));
}

}  // namespace lapdeck
