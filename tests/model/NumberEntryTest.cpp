#include "common/NumberEntry.h"

#include <gtest/gtest.h>

using namespace zr410;

TEST(NumberEntry, LeadingNumberIsTakenAndTheRestIgnored) {
    EXPECT_DOUBLE_EQ(ParseLeadingNumber(u"85.3"), 85.3);
    EXPECT_DOUBLE_EQ(ParseLeadingNumber(u"  -12.5abc"), -12.5);
    EXPECT_DOUBLE_EQ(ParseLeadingNumber(u"+7"), 7.0);
    EXPECT_DOUBLE_EQ(ParseLeadingNumber(u"1.2.3"), 1.2);
    EXPECT_DOUBLE_EQ(ParseLeadingNumber(u".5"), 0.5);
    EXPECT_DOUBLE_EQ(ParseLeadingNumber(u""), 0.0);
    EXPECT_DOUBLE_EQ(ParseLeadingNumber(u"--"), 0.0);
    EXPECT_DOUBLE_EQ(ParseLeadingNumber(u"abc"), 0.0);
    EXPECT_DOUBLE_EQ(ParseLeadingNumber(QByteArrayView("1.25\r")), 1.25);
}

TEST(NumberEntry, ScaledEntriesRoundHalvesToEven) {
    EXPECT_EQ(ScaledEntry(u"85.3", 10), 853);
    EXPECT_EQ(ScaledEntry(u"85.25", 10), 852);
    EXPECT_EQ(ScaledEntry(u"85.75", 10), 858);
    EXPECT_EQ(ScaledEntry(u"2.5", 1), 2);
    EXPECT_EQ(ScaledEntry(u"3.5", 1), 4);
    EXPECT_EQ(ScaledEntry(u"85.6", 1), 86);
    EXPECT_EQ(ScaledEntry(u"-2.5", 1), -2);
    EXPECT_EQ(ScaledEntry(u"", 10), 0);
    EXPECT_EQ(ScaledEntry(u"90", 10), 900);
}

TEST(NumberEntry, AbsurdEntriesStayDefined) {
    EXPECT_GT(ScaledEntry(u"99999999999999999999999", 10), 65535);
    EXPECT_LT(ScaledEntry(u"-99999999999999999999999", 10), -32768);
}
