#include "model/TextForms.h"

#include <gtest/gtest.h>

using namespace zr410;

TEST(TextForms, ScaledValuesFollowTheDecimalPoint) {
    EXPECT_EQ(ScaledText(853, 1), "85.3");
    EXPECT_EQ(ScaledText(853, 0), "853");
    EXPECT_EQ(ScaledText(853, 2), "8.53");
    EXPECT_EQ(ScaledText(-1, 1), "-0.1");  // FFFF with one decimal
    EXPECT_EQ(ScaledText(-10, 1), "-1.0");
    EXPECT_EQ(ScaledText(-5, 1), "-0.5");
    EXPECT_EQ(ScaledText(0, 1), "0.0");
    EXPECT_EQ(ScaledText(125, 2), "1.25");  // pressure
    EXPECT_EQ(ScaledText(-32768, 0), "-32768");
}

TEST(TextForms, CorruptDecimalPointIsLimitedInsteadOfPrintingEndlessDigits) {
    EXPECT_EQ(DecimalPattern(0), "0");
    EXPECT_EQ(DecimalPattern(1), "0.0");
    EXPECT_EQ(DecimalPattern(-3), "0");
    EXPECT_EQ(DecimalPattern(32767), "0.0000");
    EXPECT_EQ(ScaledText(853, 32767), "0.0853");
    EXPECT_EQ(ScaledText(853, -1), "853");
}

TEST(TextForms, TwoDigitAndIntegerTexts) {
    EXPECT_EQ(TwoDigitText(5), "05");
    EXPECT_EQ(TwoDigitText(17), "17");
    EXPECT_EQ(TwoDigitText(123), "123");
    EXPECT_EQ(TwoDigitText(-5), "-05");
    EXPECT_EQ(IntegerText(-1), "-1");
}

TEST(TextForms, UnitWeekdayAndErrorNames) {
    EXPECT_EQ(TempUnitText(0), "℃");
    EXPECT_EQ(TempUnitText(-1), "℃");
    EXPECT_EQ(TempUnitText(1), "℉");
    EXPECT_EQ(TempUnitText(2), "℉");
    EXPECT_EQ(WeekdayName(0), "일");
    EXPECT_EQ(WeekdayName(6), "토");
    EXPECT_EQ(WeekdayName(7), "?");
    EXPECT_EQ(WeekdayName(-1), "?");
    EXPECT_EQ(ErrorName(13), "온도 오버");
    EXPECT_EQ(ErrorName(1), "입력 오버");
    EXPECT_EQ(ErrorName(15), "히터 오버");
    EXPECT_EQ(ErrorName(16), "알 수 없는 에러 (코드 16)");
}
