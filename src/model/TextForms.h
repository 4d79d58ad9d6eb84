#pragma once

#include <QString>

#include <array>

#include "protocol/RegisterMap.h"

// The text forms in which register values are shown and stored in the value table.
namespace zr410 {

// Decimal places are limited to this; a controller reporting more (or a negative count) is
// shown with the nearest valid count, so a corrupt register cannot produce endless digits.
inline constexpr int kMaxDecimalPlaces = 4;
int ClampDecimalPlaces(int dp);

// "0" when dp < 1, otherwise "0." followed by dp zeros.
QString DecimalPattern(int dp);

// raw / 10^dp with exactly dp decimals ("0" pattern: no point); exact, no rounding.
// 853 with dp 1 gives "85.3", -5 with dp 1 "-0.5", 853 with dp 0 "853".
QString ScaledText(int raw, int dp);

QString IntegerText(int value);
// At least two digits with leading zeros: 5 -> "05", 17 -> "17", -5 -> "-05".
QString TwoDigitText(int value);

// A register value in the text form its scale class gives it: temperature class with dp
// decimals, pressure in hundredths, current limits in tenths, plain values as integers (clock
// fields with two digits).
QString RegisterText(const RegisterInfo& info, int raw, int dp);

// "℉" when the unit register is above 0, otherwise "℃".
QString TempUnitText(int unitCode);

// "일" (Sunday) to "토" (Saturday) for 0..6; "?" for values the controller should never send.
extern const std::array<const char*, 7> WeekdayNames;
QString WeekdayName(int value);

// Names of error codes 1..15; codes outside get a visible placeholder with the number.
extern const std::array<const char*, 15> ErrorNames;
QString ErrorName(int code);

}  // namespace zr410
