#include "RaceFormatModel.h"

#include "ValueLists.h"

namespace lapdeck {

RaceFormatModel::RaceFormatModel(RaceFormat value) : m_value(value) {
    // One option at most, as the option buttons show it.
    m_value.setOption(m_value.option());
}

void RaceFormatModel::setLapsPos(int position) {
    m_value.lapsPos = position >= 0 && position < ValueLists::lapCounts().size()
                          ? static_cast<int16_t>(position)
                          : int16_t{-1};
}

void RaceFormatModel::setMinutesPos(int position) {
    m_value.minutesPos = position >= 0 && position < ValueLists::minuteCounts().size()
                             ? static_cast<int16_t>(position)
                             : int16_t{-1};
}

std::optional<UserMessage> RaceFormatModel::validate() const {
    if (m_value.option() == RaceOption::TimedRace && m_value.minutesText().isEmpty()) {
        return UserMessage{QString(), QStringLiteral("Please select Time"), Icon::None};
    }
    return std::nullopt;
}

}  // namespace lapdeck
