#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>

// The inverse of the shown forms: what word an operator's entry writes into a register.
namespace zr410 {

// The entered number times the register's scale, rounded halves to even: 10^dp for the
// temperature class, 100 for pressures, 10 for current limits, 1 for everything else. The
// result may lie outside a word; the write request refuses it then.
std::int64_t ScaleForWrite(int address, double entered, int dp);

// The same for a typed text, read by the number entry rule ("" and "abc" give 0).
std::int64_t ScaleEntryForWrite(int address, QStringView text, int dp);

// The entries a frame can carry for the register, in its shown form ("-3276.8 ~ 6553.5").
QString WritableRangeText(int address, int dp);

}  // namespace zr410
