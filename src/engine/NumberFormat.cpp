#include "NumberFormat.h"

#include <charconv>
#include <cmath>
#include <string>

namespace lapdeck {
namespace {

struct PatternParts {
    int minIntegerDigits = 0;
    int forcedDecimals = 0;
    int optionalDecimals = 0;
    bool hasPoint = false;
    QString suffix;
};

PatternParts parsePattern(QStringView pattern) {
    PatternParts parts;
    qsizetype i = 0;
    while (i < pattern.size() && (pattern[i] == u'0' || pattern[i] == u'#')) {
        if (pattern[i] == u'0') {
            ++parts.minIntegerDigits;
        }
        ++i;
    }
    if (i < pattern.size() && pattern[i] == u'.') {
        parts.hasPoint = true;
        ++i;
        while (i < pattern.size() && (pattern[i] == u'0' || pattern[i] == u'#')) {
            if (pattern[i] == u'0') {
                ++parts.forcedDecimals;
            } else {
                ++parts.optionalDecimals;
            }
            ++i;
        }
    }
    parts.suffix = pattern.mid(i).toString();
    return parts;
}

// Decimal digits and exponent of |value| with `significant` digits: value = 0.d1d2... x 10^point.
struct Decimal {
    std::string digits;
    int point = 0;
};

Decimal toDecimal(double magnitude, int significant) {
    Decimal d;
    if (magnitude == 0.0 || !std::isfinite(magnitude)) {
        d.digits = "0";
        d.point = 1;
        return d;
    }
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific,
                             significant - 1);
    std::string text(buf, res.ptr);
    const auto e = text.find('e');
    const int exponent = std::stoi(text.substr(e + 1));
    for (char c : text.substr(0, e)) {
        if (c >= '0' && c <= '9') {
            d.digits.push_back(c);
        }
    }
    d.point = exponent + 1;
    return d;
}

QString formatDecimal(bool negative, Decimal d, QStringView pattern) {
    const PatternParts p = parsePattern(pattern);
    const int decimals = p.forcedDecimals + p.optionalDecimals;

    // Round half away from zero at `decimals` places after the point.
    const int keep = d.point + decimals;  // digits kept
    std::string digits;
    int point = d.point;
    if (keep < 0) {
        digits = "0";
        point = 1;
    } else {
        digits = d.digits;
        if (static_cast<int>(digits.size()) > keep) {
            const bool up = digits[static_cast<size_t>(keep)] >= '5';
            digits.resize(static_cast<size_t>(keep));
            if (up) {
                int i = keep - 1;
                while (i >= 0 && digits[static_cast<size_t>(i)] == '9') {
                    digits[static_cast<size_t>(i)] = '0';
                    --i;
                }
                if (i >= 0) {
                    ++digits[static_cast<size_t>(i)];
                } else {
                    digits.insert(digits.begin(), '1');
                    ++point;
                }
            }
        }
    }

    std::string integer;
    std::string fraction;
    for (int i = 0; i < static_cast<int>(digits.size()); ++i) {
        if (i < point) {
            integer.push_back(digits[static_cast<size_t>(i)]);
        } else {
            fraction.push_back(digits[static_cast<size_t>(i)]);
        }
    }
    for (int i = static_cast<int>(digits.size()); i < point; ++i) {
        integer.push_back('0');
    }
    if (point < 0) {
        fraction.insert(0, static_cast<size_t>(-point), '0');
    }
    fraction.resize(static_cast<size_t>(decimals), '0');
    while (static_cast<int>(fraction.size()) > p.forcedDecimals && !fraction.empty() &&
           fraction.back() == '0') {
        fraction.pop_back();
    }
    // Leading zeros of the integer part go; the pattern's zeros come back.
    size_t firstNonZero = integer.find_first_not_of('0');
    integer = firstNonZero == std::string::npos ? std::string() : integer.substr(firstNonZero);
    if (static_cast<int>(integer.size()) < p.minIntegerDigits) {
        integer.insert(0, static_cast<size_t>(p.minIntegerDigits) - integer.size(), '0');
    }

    const bool isZero = integer.find_first_not_of('0') == std::string::npos &&
                        fraction.find_first_not_of('0') == std::string::npos;
    std::string out;
    if (negative && !isZero) {
        out.push_back('-');
    }
    out += integer;
    if (p.hasPoint) {
        out.push_back('.');
        out += fraction;
    }
    return QString::fromLatin1(out.data(), static_cast<qsizetype>(out.size())) + p.suffix;
}

}  // namespace

QString formatNumber(double value, QStringView pattern) {
    return formatDecimal(value < 0, toDecimal(std::fabs(value), 15), pattern);
}

QString formatSingle(float value, QStringView pattern) {
    return formatDecimal(value < 0, toDecimal(std::fabs(static_cast<double>(value)), 7), pattern);
}

double roundHalfEven(double value) {
    return std::nearbyint(value);
}

float lapSecondsFromMs(int32_t ms) {
    const QString text = formatNumber(ms / 1000.0, u"00.##");
    const std::string s = text.toStdString();
    float out = 0.0f;
    std::from_chars(s.data(), s.data() + s.size(), out);
    return out;
}

namespace {
QString shortest(double value, int significant) {
    if (value == 0.0 || !std::isfinite(value)) {
        return QStringLiteral("0");
    }
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, significant);
    return QString::fromLatin1(buf, res.ptr - buf);
}
}  // namespace

QString shortestNumber(double value) {
    return shortest(value, 15);
}

QString shortestSingle(float value) {
    return shortest(static_cast<double>(value), 7);
}

QString formatRaceDateTime(const QDateTime& when) {
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    if (!when.isValid()) {
        return {};
    }
    const QDate date = when.date();
    const QTime time = when.time();
    return QStringLiteral("%1-%2, %3-%4")
        .arg(QLatin1String(kMonths[date.month() - 1]))
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(time.hour())
        .arg(time.minute(), 2, 10, QLatin1Char('0'));
}

double leadingNumber(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    std::string number;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') {
        number.push_back(static_cast<char>(text[i].unicode()));
        ++i;
    }
    if (i < text.size() && text[i] == u'.') {
        std::string fraction;
        ++i;
        while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') {
            fraction.push_back(static_cast<char>(text[i].unicode()));
            ++i;
        }
        if (!fraction.empty()) {
            number += '.' + fraction;
        }
    }
    if (number.empty()) {
        return 0.0;
    }
    if (number.front() == '.') {
        number.insert(number.begin(), '0');
    }
    double value = 0.0;
    const auto res = std::from_chars(number.data(), number.data() + number.size(), value);
    if (res.ec != std::errc()) {
        value = HUGE_VAL;  // out of range: too large for any use here
    }
    return negative ? -value : value;
}

}  // namespace lapdeck
