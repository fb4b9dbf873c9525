#include "ValueLists.h"

#include <array>

#include "NumberFormat.h"

namespace lapdeck {
namespace {

struct Colour {
    const char16_t* name;
    int32_t red, green, blue;
};

// In the order the lists were filled; they show sorted.
constexpr std::array<Colour, 8> kColours{{
    {u"Yellow", 255, 255, 0},
    {u"Green", 0, 255, 0},
    {u"Blue", 128, 128, 255},
    {u"White", 255, 255, 255},
    {u"Purple", 255, 0, 255},
    {u"Orange", 255, 128, 0},
    {u"Red", 255, 0, 0},
    {u"Grey", 192, 192, 192},
}};

constexpr std::array<int16_t, 13> kScaleFactors{1, 2, 4, 8, 10, 12, 18, 24, 25, 32, 43, 64, 72};

// The lists were filled by counting in single precision; the same counting gives
// the same texts.
QStringList countedList(float start, int count, float smallStep, float largeStep, float limit) {
    QStringList list;
    list.reserve(count);
    float x = start;
    for (int i = 0; i < count; ++i) {
        list.append(shortestSingle(x));
        x += x < limit ? smallStep : largeStep;
    }
    return list;
}

QStringList wholeNumbers(std::initializer_list<std::array<int, 3>> runs) {
    QStringList list;
    for (const auto& [from, to, step] : runs) {
        for (int n = from; n <= to; n += step) {
            list.append(QString::number(n));
        }
    }
    return list;
}

}  // namespace

namespace ValueLists {

const QStringList& trackLengths() {
    static const QStringList list = [] {
        QStringList l = countedList(10.0f, 491, 1.0f, 5.0f, 75.0f);
        l.append(QStringLiteral("5280"));
        return l;
    }();
    return list;
}

const QStringList& scales() {
    static const QStringList list = [] {
        QStringList l;
        for (int16_t n : kScaleFactors) {
            l.append(QStringLiteral("1:") + QString::number(n));
        }
        return l;
    }();
    return list;
}

const QStringList& minLapTimes() {
    static const QStringList list = countedList(1.0f, 87, 0.25f, 1.0f, 10.0f);
    return list;
}

const QStringList& startDelays() {
    static const QStringList list = countedList(0.0f, 31, 1.0f, 1.0f, 1.0f);
    return list;
}

const QStringList& firstLaps() {
    static const QStringList list{QStringLiteral("0"), QStringLiteral("1")};
    return list;
}

const QStringList& ports() {
    static const QStringList list = wholeNumbers({{1, 16, 1}});
    return list;
}

const QStringList& colourNames() {
    static const QStringList list = [] {
        QStringList l;
        for (const Colour& c : kColours) {
            l.append(QString::fromUtf16(c.name));
        }
        l.sort(Qt::CaseInsensitive);
        return l;
    }();
    return list;
}

const QStringList& lapCounts() {
    static const QStringList list = wholeNumbers({{3, 15, 1},
                                                  {20, 40, 5},
                                                  {50, 90, 10},
                                                  {100, 100, 1},
                                                  {125, 125, 1},
                                                  {150, 150, 1},
                                                  {200, 500, 50}});
    return list;
}

const QStringList& minuteCounts() {
    static const QStringList list = wholeNumbers({{1, 15, 1}, {20, 90, 5}, {100, 240, 10}});
    return list;
}

QString entry(const QStringList& list, int position) {
    if (position < 0 || position >= list.size()) {
        return {};
    }
    return list[position];
}

int positionOf(const QStringList& list, const QString& text) {
    return static_cast<int>(list.indexOf(text));
}

}  // namespace ValueLists

std::optional<int16_t> convertScale(const QString& scaleText) {
    const int pos = ValueLists::positionOf(ValueLists::scales(), scaleText);
    if (pos < 0) {
        return std::nullopt;
    }
    return kScaleFactors[static_cast<size_t>(pos)];
}

std::optional<int32_t> colourNumber(const QString& colourName) {
    for (const Colour& c : kColours) {
        if (colourName == QString::fromUtf16(c.name)) {
            return c.red + 256 * c.green + 65536 * c.blue;
        }
    }
    return std::nullopt;
}

const QStringList& defaultColourNames() {
    static const QStringList list{QStringLiteral("Yellow"), QStringLiteral("Green"),
                                  QStringLiteral("Blue"),   QStringLiteral("White"),
                                  QStringLiteral("Purple"), QStringLiteral("Orange")};
    return list;
}

float speedMultiplier(int trackLengthFeet, int scaleFactor) {
    const double value = static_cast<double>(trackLengthFeet) / 5280.0 * 3600.0 * scaleFactor;
    return static_cast<float>(value);
}

}  // namespace lapdeck
