#pragma once

#include <QByteArrayView>
#include <QStringView>

#include <cstdint>

namespace zr410 {

// The leading decimal number of a text, the way operators' entries and data file fields are
// read everywhere: leading blanks skipped, an optional sign, digits with at most one decimal
// point; the rest of the text is ignored. No number gives 0 (so "", "abc" and "-" read as 0).
double ParseLeadingNumber(QStringView text);
double ParseLeadingNumber(QByteArrayView text);

// Nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
std::int64_t RoundHalfEven(double value);

// Number entry rule for a register write: leading number times the register's scale factor,
// rounded halves to even (85.25 with factor 10 gives 852).
std::int64_t ScaledEntry(QStringView text, double factor);

}  // namespace zr410
