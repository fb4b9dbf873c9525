#include "NoiseWatch.h"

#include <algorithm>

#include "Journal.h"

namespace lapdeck {

void NoiseWatch::reportRead(int64_t ms, QStringView text) {
    if (readsAsFlag(text)) {
        return;
    }
    std::rotate(m_last.begin(), m_last.begin() + 1, m_last.end());
    m_last.back() = ms;
    ++m_count;
}

bool NoiseWatch::noisy(int64_t now) const {
    return m_count >= kBurst && m_last.back() - m_last.front() <= kWindowMs &&
           now - m_last.back() <= kWindowMs;
}

QString NoiseWatch::warning(int port) {
    return QStringLiteral("Port %1 sends data that is no flag number: check the wiring").arg(port);
}

}  // namespace lapdeck
