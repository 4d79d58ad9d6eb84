#include "protocol/FrameCodec.h"

#include <gtest/gtest.h>

#include <vector>

using namespace zr410;

namespace {

// Frames are compared as readable text: STX, CR and LF spelled out.
std::string readable(const QByteArray& frame) {
    return ReadableFrame(frame).toStdString();
}

}  // namespace

TEST(FrameCodec, IdentifyFrameOfDevice1WithChecksumIsTheTenKnownBytes) {
    const QByteArray frame = BuildIdentifyFrame(1, 2);
    EXPECT_EQ(frame.toHex(' '), QByteArray("02 30 31 57 48 4f 34 46 0d 0a"));
}

TEST(FrameCodec, WorkedRequestFramesWithAndWithoutChecksum) {
    struct Row {
        const char* name;
        QByteArray frame;
        std::string expected;
    };
    const std::vector<int> regs507_506{507, 506};
    const std::vector<int> reg115{115};
    const std::vector<int> val300{300};
    const std::vector<int> reg507{507};
    const Row rows[] = {
        {"identify dev 1, no checksum", BuildIdentifyFrame(1, 0), "<STX>01WHO<CR><LF>"},
        {"read 507,506 of dev 1", *BuildReadFrame(1, regs507_506, 2),
         "<STX>01DRR,02,0507,0506C6<CR><LF>"},
        {"write 300 to 115 of dev 1", *BuildWriteFrame(1, reg115, val300, 2),
         "<STX>01DWR,01,0115,012CD0<CR><LF>"},
        {"write 300 to 115, no checksum", *BuildWriteFrame(1, reg115, val300, 0),
         "<STX>01DWR,01,0115,012C<CR><LF>"},
        {"read one register, no checksum", *BuildReadFrame(1, reg507, 0),
         "<STX>01DRR,01,0507<CR><LF>"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(readable(row.frame), row.expected) << row.name;
    }
}

TEST(FrameCodec, DigitsOfDeviceAndRegisterAreZeroPadded) {
    const std::vector<int> regs{7, 719};
    EXPECT_EQ(readable(*BuildReadFrame(5, regs, 0)), "<STX>05DRR,02,0007,0719<CR><LF>");
    EXPECT_EQ(readable(BuildIdentifyFrame(0, 0)), "<STX>00WHO<CR><LF>");
    EXPECT_EQ(readable(BuildIdentifyFrame(99, 0)), "<STX>99WHO<CR><LF>");
}

TEST(FrameCodec, RequestLengthsFollowTheLayouts) {
    std::vector<int> regs(32, 1);
    std::vector<int> values(6, 0);
    for (int s : {0, 2}) {
        EXPECT_EQ(BuildIdentifyFrame(1, s).size(), 8 + s);
        EXPECT_EQ(BuildReadFrame(1, regs, s)->size(), 5 * 32 + 11 + s);
        EXPECT_EQ(BuildReadFrame(1, std::span(regs).first(1), s)->size(), 16 + s);
        EXPECT_EQ(BuildWriteFrame(1, std::span(regs).first(6), values, s)->size(), 10 * 6 + 11 + s);
    }
}

TEST(FrameCodec, WriteValuesAreSixteenBitTwosComplement) {
    const std::vector<int> reg{115};
    auto valueField = [&](int v) {
        return BuildWriteFrame(1, reg, std::vector<int>{v}, 0)->mid(15, 4);
    };
    EXPECT_EQ(valueField(-1), "FFFF");
    EXPECT_EQ(valueField(300), "012C");
    EXPECT_EQ(valueField(65535), "FFFF");
    EXPECT_EQ(valueField(-32768), "8000");
    EXPECT_EQ(valueField(0), "0000");
}

TEST(FrameCodec, WriteBuilderRefusesValuesThatDoNotFitAWord) {
    const std::vector<int> reg{115};
    EXPECT_FALSE(BuildWriteFrame(1, reg, std::vector<int>{65536}, 2).has_value());
    EXPECT_FALSE(BuildWriteFrame(1, reg, std::vector<int>{-32769}, 2).has_value());
    EXPECT_FALSE(BuildWriteFrame(1, reg, std::vector<int>{100000}, 0).has_value());
}

TEST(FrameCodec, BuildersRefuseFieldsOutsideTheirDigits) {
    const std::vector<int> tooBig{10000};
    const std::vector<int> negative{-1};
    const std::vector<int> none;
    const std::vector<int> hundred(100, 1);
    EXPECT_FALSE(BuildReadFrame(1, tooBig, 0).has_value());
    EXPECT_FALSE(BuildReadFrame(1, negative, 0).has_value());
    EXPECT_FALSE(BuildReadFrame(1, none, 0).has_value());
    EXPECT_FALSE(BuildReadFrame(1, hundred, 0).has_value());
    EXPECT_FALSE(BuildReadFrame(100, std::vector<int>{1}, 0).has_value());
}

TEST(FrameCodec, HexConversions) {
    EXPECT_EQ(HexToSigned16("FFFF"), -1);
    EXPECT_EQ(HexToUnsigned("FFFF"), 65535);
    EXPECT_EQ(HexToSigned16("7FFF"), 32767);
    EXPECT_EQ(HexToSigned16("8000"), -32768);
    EXPECT_EQ(HexToSigned16("0355"), 853);
    EXPECT_EQ(HexToUnsigned("C6"), 198);
    // Lower-case letters count as 0, as the controllers' firmware reads them.
    EXPECT_EQ(HexToSigned16("00fa"), 0);
    EXPECT_EQ(HexToUnsigned("a"), 0);
    EXPECT_EQ(DigitValue('F'), 15);
    EXPECT_EQ(DigitValue('G'), 0);
    EXPECT_EQ(ToHex16(-1, 4), "FFFF");
    EXPECT_EQ(ToHex16(10, 4), "000A");
    EXPECT_EQ(ToHex16(0x12345, 4), "12345");  // not shortened
}

TEST(FrameCodec, ChecksumVerification) {
    QByteArray good(
        "\x02"
        "01DRR,OK,0355C2\r\n");
    FillChecksum(good);
    EXPECT_TRUE(VerifyChecksum(good));
    QByteArray bad = good;
    bad[bad.size() - 3] = bad[bad.size() - 3] == '0' ? '1' : '0';
    EXPECT_FALSE(VerifyChecksum(bad));
    // A non-hex checksum digit counts as 0 and normally fails.
    QByteArray lower = good;
    const qsizetype digit = lower[lower.size() - 4] != '0' ? lower.size() - 4 : lower.size() - 3;
    lower[digit] = static_cast<char>(QChar::toLower(static_cast<char32_t>(lower[digit])));
    lower[digit] = lower[digit] >= '0' && lower[digit] <= '9' ? 'x' : lower[digit];
    EXPECT_FALSE(VerifyChecksum(lower));
    EXPECT_FALSE(VerifyChecksum(QByteArray("\r\n")));
}

TEST(FrameCodec, ChecksumLengthIsZeroOnlyForExactlySTD) {
    EXPECT_EQ(ChecksumLengthFor("STD"), 0);
    EXPECT_EQ(ChecksumLengthFor("SUM"), 2);
    EXPECT_EQ(ChecksumLengthFor("STD "), 2);
    EXPECT_EQ(ChecksumLengthFor("std"), 2);
    EXPECT_EQ(ChecksumLengthFor(""), 2);
}

TEST(FrameCodec, ReplyTestsAndValues) {
    const QByteArray reply(
        "\x02"
        "01DRR,OK,0355,FFFF\r\n");
    EXPECT_TRUE(IsAcknowledged(reply));
    EXPECT_FALSE(
        IsAcknowledged(QByteArray("\x02"
                                  "01DRR,ok\r\n")));
    EXPECT_TRUE(
        IsIdentified(QByteArray("\x02"
                                "01WHO,ZR410-A\r\n")));
    EXPECT_FALSE(
        IsIdentified(QByteArray("\x02"
                                "01WHO,zr410\r\n")));
    EXPECT_EQ(ReplyValue(reply, 0), 853);
    EXPECT_EQ(ReplyValue(reply, 1), -1);
    EXPECT_FALSE(ReplyValue(reply, 2).has_value());  // never read past the frame
    EXPECT_EQ(ReadReplyThreshold(), 1);
    EXPECT_EQ(WriteReplyThreshold(2), 13);
    EXPECT_EQ(IdentifyReplyThreshold(0), 30);
}
