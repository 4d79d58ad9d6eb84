#include "sim/SimProtocol.h"

#include <gtest/gtest.h>

#include <vector>

#include "SimTestSupport.h"
#include "protocol/FrameCodec.h"

using namespace zr410;
using namespace zr410::sim;
using Status = ParsedFrame::Status;

TEST(SimReplies, LayoutsAreExactWithAndWithoutChecksum) {
    struct Row {
        const char* name;
        QByteArray reply;
        const char* expected;
    };
    const std::vector<int> twoValues{0, 1};
    const std::vector<int> signedValues{-1, 300, -32768};
    const Row rows[] = {
        {"read, sum", BuildReadReply(1, twoValues, 2), "<STX>01DRR,OK,0000,0001E8<CR><LF>"},
        {"read, std", BuildReadReply(1, twoValues, 0), "<STX>01DRR,OK,0000,0001<CR><LF>"},
        {"read, two's complement words", BuildReadReply(7, signedValues, 2),
         "<STX>07DRR,OK,FFFF,012C,80004F<CR><LF>"},
        {"write ack, sum", BuildWriteAck(1, 2), "<STX>01DWR,OK14<CR><LF>"},
        {"write ack, std, device 99", BuildWriteAck(99, 0), "<STX>99DWR,OK<CR><LF>"},
        {"identify, sum", BuildIdentifyReply(12, 2), "<STX>12WHO,OK,ZR410,SIM,VER,01009F<CR><LF>"},
        {"identify, std", BuildIdentifyReply(12, 0), "<STX>12WHO,OK,ZR410,SIM,VER,0100<CR><LF>"},
        {"negative, sum", BuildNegativeReply(5, "DRR", 2), "<STX>05NG,DRR0E<CR><LF>"},
        {"negative, unknown command", BuildNegativeReply(5, "???", 2), "<STX>05NG,???E3<CR><LF>"},
        {"negative, std", BuildNegativeReply(5, "DWR", 0), "<STX>05NG,DWR<CR><LF>"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Text(row.reply), row.expected) << row.name;
    }
}

TEST(SimReplies, LengthsMatchWhatTheMasterWaitsFor) {
    for (int s : {0, 2}) {
        for (int n : {1, 10, 20, 32, 99}) {
            const std::vector<int> values(static_cast<size_t>(n), 0x1234);
            EXPECT_EQ(BuildReadReply(3, values, s).size(), 5 * n + 11 + s) << n << " values";
        }
        EXPECT_EQ(BuildWriteAck(3, s).size(), 11 + s);
        EXPECT_EQ(BuildIdentifyReply(3, s).size(), 30 + s);
        EXPECT_EQ(BuildNegativeReply(3, "WHO", s).size(), 11 + s);
    }
}

TEST(SimReplies, PassTheMastersOwnTests) {
    const std::vector<int> values{853, -1};
    const QByteArray read = BuildReadReply(1, values, 2);
    EXPECT_TRUE(VerifyChecksum(read));
    EXPECT_TRUE(IsAcknowledged(read));
    EXPECT_EQ(ReplyValue(read, 0), 853);
    EXPECT_EQ(ReplyValue(read, 1), -1);
    EXPECT_TRUE(VerifyChecksum(BuildWriteAck(1, 2)));
    EXPECT_TRUE(IsAcknowledged(BuildWriteAck(1, 2)));
    EXPECT_TRUE(IsIdentified(BuildIdentifyReply(1, 2)));
    EXPECT_TRUE(VerifyChecksum(BuildIdentifyReply(1, 2)));

    // The master spots a negative reply by N and G at offsets 3 and 4, before its LF.
    FrameAssembler assembler;
    FrameAssembler::Result result = FrameAssembler::Result::NeedMore;
    for (char b : BuildNegativeReply(1, "DWR", 2).first(5)) {
        result = assembler.feed(b);
    }
    EXPECT_EQ(result, FrameAssembler::Result::Negative);
}

TEST(SimRequestParser, AcceptsTheMastersRequests) {
    const std::vector<int> regs{507, 506, 719};
    const std::vector<int> writeRegs{115, 604};
    const std::vector<int> writeValues{-1, 3};
    for (int s : {0, 2}) {
        const ParsedFrame who = ParseRequest(BuildIdentifyFrame(7, s), s);
        EXPECT_EQ(who.status, Status::Valid) << who.problem;
        EXPECT_EQ(who.device, 7);
        EXPECT_EQ(who.request.kind, RequestKind::Identify);

        const ParsedFrame read = ParseRequest(*BuildReadFrame(12, regs, s), s);
        EXPECT_EQ(read.status, Status::Valid) << read.problem;
        EXPECT_EQ(read.device, 12);
        EXPECT_EQ(read.request.kind, RequestKind::Read);
        EXPECT_EQ(read.request.registers, regs);

        const ParsedFrame write = ParseRequest(*BuildWriteFrame(1, writeRegs, writeValues, s), s);
        EXPECT_EQ(write.status, Status::Valid) << write.problem;
        EXPECT_EQ(write.request.kind, RequestKind::Write);
        const std::vector<RegisterWrite> expected{{115, -1}, {604, 3}};
        EXPECT_EQ(write.request.writes, expected);
    }
}

TEST(SimRequestParser, MalformedRequestsAreAnsweredNegativeWithTheirCommand) {
    struct Row {
        const char* name;
        QByteArray frame;
        int checksumLength;
        const char* command;
    };
    QByteArray badChecksum = RequestFrame("01DRR,01,0115");
    badChecksum[badChecksum.size() - 3] = badChecksum[badChecksum.size() - 3] == '0' ? '1' : '0';
    const Row rows[] = {
        {"wrong checksum", badChecksum, 2, "DRR"},
        {"lower-case checksum digits",
         QByteArray("\x02"
                    "01WHO4f\r\n"),
         2, "WHO"},
        {"checksum missing in SUM mode", RequestFrame("01DRR,01,0115", false), 2, "DRR"},
        {"checksum present in STD mode", RequestFrame("01WHO"), 0, "WHO"},
        {"count larger than the entries", RequestFrame("01DRR,02,0115"), 2, "DRR"},
        {"count smaller than the entries", RequestFrame("01DRR,01,0115,0116"), 2, "DRR"},
        {"count zero", RequestFrame("01DRR,00"), 2, "DRR"},
        {"count of one digit", RequestFrame("01DRR,1,0115"), 2, "DRR"},
        {"register of three digits", RequestFrame("01DRR,01,115"), 2, "DRR"},
        {"register with a letter", RequestFrame("01DRR,01,01A5"), 2, "DRR"},
        {"empty entry", RequestFrame("01DRR,02,0115,"), 2, "DRR"},
        {"write without value", RequestFrame("01DWR,01,0115"), 2, "DWR"},
        {"write value in lower case", RequestFrame("01DWR,01,0115,00fa"), 2, "DWR"},
        {"write value of three digits", RequestFrame("01DWR,01,0115,0FA"), 2, "DWR"},
        {"identification with extra bytes", RequestFrame("01WHO,01"), 2, "WHO"},
        {"unknown command", RequestFrame("01XYZ,01,0115"), 2, "???"},
        {"command cut short", RequestFrame("01DR"), 2, "???"},
        {"no CR before LF",
         QByteArray("\x02"
                    "01WHO4F\n"),
         2, "WHO"},
        {"nothing after the device",
         QByteArray("\x02"
                    "01\r\n"),
         0, "???"},
    };
    for (const Row& row : rows) {
        const ParsedFrame parsed = ParseRequest(row.frame, row.checksumLength);
        EXPECT_EQ(parsed.status, Status::Malformed) << row.name;
        EXPECT_EQ(parsed.device, 1) << row.name;
        EXPECT_EQ(parsed.command, QByteArray(row.command)) << row.name;
        EXPECT_FALSE(parsed.problem.empty()) << row.name;
    }
}

TEST(SimRequestParser, FrameWithoutReadableDeviceNumberIsUnaddressed) {
    for (const QByteArray& frame :
         {RequestFrame("A1WHO"), RequestFrame("1WHO"), QByteArray("\x02\r\n"),
          QByteArray("\x02"
                     "0")}) {
        EXPECT_EQ(ParseRequest(frame, 2).status, Status::Unaddressed) << Text(frame);
    }
}

namespace {

std::vector<RequestAssembler::Frame> feedAll(RequestAssembler& a, const QByteArray& bytes,
                                             TimePoint now = TimePoint{}) {
    std::vector<RequestAssembler::Frame> frames;
    for (char b : bytes) {
        if (auto f = a.feed(b, now)) {
            frames.push_back(std::move(*f));
        }
    }
    return frames;
}

}  // namespace

TEST(SimRequestAssembler, DropsNoiseAndTheTrailingZeroByte) {
    RequestAssembler a;
    const QByteArray who = BuildIdentifyFrame(1, 2);
    const QByteArray stream =
        QByteArray("\x00\xFF junk\r\n", 9) + who + QByteArray(1, '\0') + who + QByteArray(1, '\0');
    const auto frames = feedAll(a, stream);
    ASSERT_EQ(frames.size(), 2U);
    EXPECT_EQ(frames[0].bytes, who);
    EXPECT_EQ(frames[1].bytes, who);
    EXPECT_FALSE(a.inFrame());
}

TEST(SimRequestAssembler, StxInsideAFrameStartsAgain) {
    RequestAssembler a;
    const QByteArray read = *BuildReadFrame(1, std::vector<int>{115}, 2);
    const auto frames = feedAll(a, QByteArray("\x02"
                                              "01DR") +
                                       read);
    ASSERT_EQ(frames.size(), 1U);
    EXPECT_EQ(frames[0].bytes, read);
}

TEST(SimRequestAssembler, RemembersWhenTheStxArrived) {
    RequestAssembler a;
    const TimePoint t0 = TimePoint{} + std::chrono::seconds(5);
    const QByteArray who = BuildIdentifyFrame(1, 0);
    EXPECT_FALSE(a.feed(who[0], t0));
    std::optional<RequestAssembler::Frame> frame;
    for (qsizetype i = 1; i < who.size(); ++i) {
        frame = a.feed(who[i], t0 + std::chrono::milliseconds(i));
    }
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->started, t0);
}

TEST(SimRequestAssembler, EndlessFrameIsDroppedAndTheNextOneStillArrives) {
    RequestAssembler a;
    QByteArray flood("\x02");
    flood.append(QByteArray(5000, '7'));
    EXPECT_TRUE(feedAll(a, flood).empty());
    const QByteArray who = BuildIdentifyFrame(2, 2);
    const auto frames = feedAll(a, QByteArray("\r\n") + who);
    ASSERT_EQ(frames.size(), 1U);
    EXPECT_EQ(frames[0].bytes, who);
}
