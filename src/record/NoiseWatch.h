#pragma once

#include <array>
#include <cstdint>

#include <QString>

namespace lapdeck {

// Tells when the lap unit's port sends data that is no flag number: a loose wire, a
// floating input or the wrong baud rate. One stray byte (at plugging in, say) is no
// alarm; three in ten seconds are, until ten seconds pass without one. Times are
// milliseconds of any clock that does not go back (the race clock in a race).
class NoiseWatch {
public:
    static constexpr int kBurst = 3;
    static constexpr int64_t kWindowMs = 10000;

    // One report read at `ms`.
    void reportRead(int64_t ms, QStringView text);
    bool noisy(int64_t now) const;
    // Reports that were no flag number since the last reset.
    int64_t noiseCount() const { return m_count; }
    void reset() { *this = NoiseWatch(); }

    // What the status line and the diagnostics window say while noisy().
    static QString warning(int port);

private:
    std::array<int64_t, kBurst> m_last{};  // the latest noise times, oldest first
    int64_t m_count = 0;
};

}  // namespace lapdeck
