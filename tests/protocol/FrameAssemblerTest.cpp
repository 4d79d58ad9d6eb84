#include "protocol/FrameCodec.h"

#include <gtest/gtest.h>

using namespace zr410;
using Result = FrameAssembler::Result;

namespace {

// Feeds bytes until something other than NeedMore comes back; returns it and the byte count.
std::pair<Result, int> feedAll(FrameAssembler& a, const QByteArray& bytes) {
    int n = 0;
    for (char b : bytes) {
        ++n;
        const Result r = a.feed(b);
        if (r != Result::NeedMore) {
            return {r, n};
        }
    }
    return {Result::NeedMore, n};
}

}  // namespace

TEST(FrameAssembler, CompletesAtLineFeedWithTheWholeFrame) {
    FrameAssembler a;
    const QByteArray reply(
        "\x02"
        "01DWR,OK\r\n");
    auto [result, used] = feedAll(a, reply);
    EXPECT_EQ(result, Result::Complete);
    EXPECT_EQ(used, reply.size());
    EXPECT_EQ(a.frame(), reply);
}

TEST(FrameAssembler, NegativeReplyIsRecognisedAtItsFifthByte) {
    FrameAssembler a;
    auto [result, used] = feedAll(a, QByteArray("\x02"
                                                "01NGDWR,01\r\n"));
    EXPECT_EQ(result, Result::Negative);
    EXPECT_EQ(used, 5);
}

TEST(FrameAssembler, BytesBeforeStxAreDroppedWhenStxArrives) {
    FrameAssembler a;
    const QByteArray frame(
        "\x02"
        "07DWR,OK\r\n");
    auto [result, used] = feedAll(a, QByteArray("garbage") + frame);
    EXPECT_EQ(result, Result::Complete);
    EXPECT_EQ(a.frame(), frame);
    (void)used;
}

TEST(FrameAssembler, ASecondStxDropsThePartialFrame) {
    FrameAssembler a;
    feedAll(a, QByteArray("\x02"
                          "01DRR,OK,00"));
    const QByteArray frame(
        "\x02"
        "03DWR,OK\r\n");
    EXPECT_EQ(feedAll(a, frame).first, Result::Complete);
    EXPECT_EQ(a.frame(), frame);
}

TEST(FrameAssembler, FrameSplitAcrossBlocksCompletesOnTheLaterBlock) {
    FrameAssembler a;
    EXPECT_EQ(feedAll(a, QByteArray("\x02"
                                    "01DRR,O"))
                  .first,
              Result::NeedMore);
    EXPECT_EQ(feedAll(a, QByteArray("K,0001\r\n")).first, Result::Complete);
    EXPECT_EQ(a.frame(), QByteArray("\x02"
                                    "01DRR,OK,0001\r\n"));
}

TEST(FrameAssembler, EndlessStreamWithoutFrameBoundariesStaysBounded) {
    FrameAssembler a;
    const QByteArray noise(64 * 1024, 'x');
    EXPECT_EQ(feedAll(a, noise).first, Result::NeedMore);
    EXPECT_LE(a.count(), FrameAssembler::kMaxFrameBytes);
    const QByteArray openFrame = QByteArray(1, kSTX) + QByteArray(64 * 1024, 'y');
    EXPECT_EQ(feedAll(a, openFrame).first, Result::NeedMore);
    EXPECT_LE(a.count(), FrameAssembler::kMaxFrameBytes);
    // After the noise a real frame is still recognised.
    const QByteArray frame(
        "\x02"
        "01DWR,OK\r\n");
    EXPECT_EQ(feedAll(a, frame).first, Result::Complete);
    EXPECT_EQ(a.frame(), frame);
}
