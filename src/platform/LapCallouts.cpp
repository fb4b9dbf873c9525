#include "LapCallouts.h"

#include <algorithm>
#include <array>
#include <chrono>

#include <QStringList>

#include "LapTimeText.h"
#include "ScreenTexts.h"
#include "SpeechEngine.h"

namespace lapdeck {
namespace {

const std::array<const char*, 20> kOnes{"zero",    "one",     "two",       "three",    "four",
                                        "five",    "six",     "seven",     "eight",    "nine",
                                        "ten",     "eleven",  "twelve",    "thirteen", "fourteen",
                                        "fifteen", "sixteen", "seventeen", "eighteen", "nineteen"};
const std::array<const char*, 10> kTens{"",      "",      "twenty",  "thirty", "forty",
                                        "fifty", "sixty", "seventy", "eighty", "ninety"};

// Below a thousand, without "and": "one hundred twenty three".
QString belowThousand(int n) {
    QStringList words;
    if (n >= 100) {
        words << QString::fromLatin1(kOnes[static_cast<size_t>(n / 100)])
              << QStringLiteral("hundred");
        n %= 100;
        if (n == 0) {
            return words.join(QLatin1Char(' '));
        }
    }
    if (n >= 20) {
        words << QString::fromLatin1(kTens[static_cast<size_t>(n / 10)]);
        n %= 10;
        if (n == 0) {
            return words.join(QLatin1Char(' '));
        }
    }
    words << QString::fromLatin1(kOnes[static_cast<size_t>(n)]);
    return words.join(QLatin1Char(' '));
}

QString wholeNumber(int64_t n) {
    if (n < 1000) {
        return belowThousand(static_cast<int>(n));
    }
    QStringList words;
    const std::array<std::pair<int64_t, const char*>, 2> scales{
        {{1'000'000, "million"}, {1'000, "thousand"}}};
    for (const auto& [size, name] : scales) {
        if (n >= size) {
            words << wholeNumber(n / size) << QString::fromLatin1(name);
            n %= size;
        }
    }
    if (n > 0) {
        words << belowThousand(static_cast<int>(n));
    }
    return words.join(QLatin1Char(' '));
}

// "12.34" as "twelve point three four": the decimals digit by digit, as times are read.
QString spokenNumber(const QString& number) {
    const qsizetype point = number.indexOf(QLatin1Char('.'));
    QString words = wholeNumber(number.left(point < 0 ? number.size() : point).toLongLong());
    if (point >= 0) {
        words += QStringLiteral(" point");
        for (const QChar digit : number.mid(point + 1)) {
            const int d = std::max(0, digit.digitValue());
            words += QLatin1Char(' ') + QString::fromLatin1(kOnes[static_cast<size_t>(d)]);
        }
    }
    return words;
}

}  // namespace

LapCallouts::LapCallouts(SpeechEngine* speech, Clock clock)
    : m_speech(speech), m_clock(std::move(clock)) {
    if (!m_clock) {
        m_clock = []() {
            return std::chrono::duration_cast<std::chrono::milliseconds>(
                       std::chrono::steady_clock::now().time_since_epoch())
                .count();
        };
    }
}

void LapCallouts::lapCounted(int flag, const QString& racerName, int lap, int32_t lapMs,
                             bool newBest) {
    // Lap 0 is the run from the start to the line, not a lap.
    if (lap < 1 || lapMs < 0) {
        return;
    }
    const bool best = newBest && m_choices.bestLap;
    if (m_choices.everyLap || best) {
        announce(text(flag, spokenName(racerName), lapMs, best));
    }
}

QString LapCallouts::text(int flag, const QString& racerName, int32_t lapMs, bool best) {
    const FlagName name = flagNameOf(false, racerName);
    const QString who = name.state == NameState::Named
                            ? name.name.trimmed()
                            : QStringLiteral("Flag ") + QString::number(flag);
    const QString time = calloutLapTime(lapMs);
    return who + (best ? QStringLiteral(", best lap, ") : QStringLiteral(", ")) +
           spokenNumber(time);
}

QString LapCallouts::spokenName(const QString& name) {
    const QList<uint> chars = name.trimmed().toUcs4();
    if (chars.size() <= kNameLength) {
        return name;
    }
    auto isSpace = [](uint c) { return QChar::isSpace(static_cast<char32_t>(c)); };
    qsizetype end = kNameLength;
    // Cut inside a word: back to the space before it, unless the name is one word.
    if (!isSpace(chars[end])) {
        qsizetype space = end;
        while (space > 0 && !isSpace(chars[space - 1])) {
            --space;
        }
        if (space > 0) {
            end = space;
        }
    }
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(chars.constData()), end).trimmed();
}

void LapCallouts::raceOver() {
    m_waiting.clear();
    if (m_speaking) {
        m_speech->endWithin(kAfterRaceOverMs);
    }
}

void LapCallouts::announce(const QString& text) {
    if (m_speech == nullptr) {
        return;
    }
    m_waiting.push_back({text, m_clock()});
    if (m_waiting.size() > kMaxWaiting) {
        m_waiting.pop_front();
    }
    if (!m_speaking) {
        sayNext();
    }
}

void LapCallouts::sayNext() {
    const int64_t now = m_clock();
    while (!m_waiting.empty() && now - m_waiting.front().lapAt > kFreshMs) {
        m_waiting.pop_front();
    }
    if (m_waiting.empty()) {
        m_speaking = false;
        return;
    }
    m_speaking = true;
    const QString next = m_waiting.front().text;
    m_waiting.pop_front();
    m_speech->say(next, [this]() { sayNext(); });
}

}  // namespace lapdeck
