#include "common/NumberEntry.h"

#include <charconv>
#include <cmath>
#include <string>

namespace zr410 {
namespace {

template <typename CharAt>
double parseLeading(qsizetype size, CharAt at) {
    qsizetype i = 0;
    while (i < size && (at(i) == ' ' || at(i) == '\t')) {
        ++i;
    }
    std::string number;
    if (i < size && (at(i) == '+' || at(i) == '-')) {
        number += at(i);
        ++i;
    }
    bool digits = false;
    bool point = false;
    for (; i < size; ++i) {
        const char c = at(i);
        if (c >= '0' && c <= '9') {
            number += c;
            digits = true;
        } else if (c == '.' && !point) {
            number += c;
            point = true;
        } else {
            break;
        }
    }
    if (!digits) {
        return 0.0;
    }
    // from_chars ignores the process locale, which Qt sets from the environment.
    double value = 0.0;
    const char* begin = number.c_str();
    if (*begin == '+') {
        ++begin;
    }
    std::from_chars(begin, number.c_str() + number.size(), value);
    return value;
}

}  // namespace

double ParseLeadingNumber(QStringView text) {
    return parseLeading(text.size(), [&](qsizetype i) {
        const char16_t c = text[i].unicode();
        return c < 128 ? static_cast<char>(c) : '\x7f';
    });
}

double ParseLeadingNumber(QByteArrayView text) {
    return parseLeading(text.size(), [&](qsizetype i) { return text[i]; });
}

std::int64_t RoundHalfEven(double value) {
    // Entries are far inside this range; the clamp only keeps absurd input defined.
    constexpr double kLimit = 9.0e15;
    if (!(value > -kLimit)) {
        return value != value ? 0 : static_cast<std::int64_t>(-kLimit);
    }
    if (value > kLimit) {
        return static_cast<std::int64_t>(kLimit);
    }
    // nearbyint follows the current rounding mode, which is round-half-even by default.
    return static_cast<std::int64_t>(std::nearbyint(value));
}

std::int64_t ScaledEntry(QStringView text, double factor) {
    return RoundHalfEven(ParseLeadingNumber(text) * factor);
}

}  // namespace zr410
