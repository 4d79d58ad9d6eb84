// A line that goes away in the middle of a reply, as when a USB adapter is pulled or the far
// end dies: the simulator is killed while a status reply is half way down the line.
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

#include "SimProcess.h"
#include "TempFolder.h"
#include "engine/SerialLink.h"
#include "model/Decoders.h"
#include "model/ErrorHistory.h"
#include "model/ValueTable.h"

using namespace zr410;

TEST(LineHangUp, SimulatorKilledMidReplyDecodesNoHalfFrameAndTheLinkReopensByItself) {
    TempProgramFolder folder;
    QTemporaryDir dir;
    const QString line = dir.filePath("line");
    // At 4800 baud a status reply takes about 400 ms, so the first gathered block is half of
    // it while the simulator is still sending the rest.
    const QStringList simArgs{"--devices", "1",    "--protocol", "SUM",
                              "--baud",    "4800", "--link",     line};
    auto sim = std::make_unique<SimProcess>(simArgs);
    ASSERT_TRUE(sim->isReady()) << sim->errorText().toStdString();

    SharedState state;
    state.SetDeviceNumbers({1});
    ValueTable table;
    table.resetRows(state.DeviceNumbers);
    ErrorHistory errors;
    DeviceDecoders decoders(state, table, errors);
    SerialLink link(state);
    link.setDecoders(&decoders);
    int decoded = 0;
    QObject::connect(&decoders, &DeviceDecoders::statusDecoded, [&] { ++decoded; });
    int decodedAtKill = -1;
    QObject::connect(&link, &SerialLink::indicator, [&](const EngineIndicator& i) {
        const bool halfReply = i.kind == EngineIndicator::Kind::Trace &&
                               i.direction == TraceDirection::Received &&
                               i.bytes.startsWith(kSTX) && !i.bytes.endsWith(kLF);
        if (decodedAtKill < 0 && decoded >= 2 && halfReply) {
            decodedAtKill = decoded;
            sim->kill();
        }
    });
    QSignalSpy lost(&link, &SerialLink::portLost);
    QSignalSpy reopened(&link, &SerialLink::portReopened);

    LineSettings settings;
    settings.device = line;
    settings.baud = 4800;
    ASSERT_TRUE(link.open(settings).ok());
    ASSERT_TRUE(QTest::qWaitFor([&] { return decodedAtKill >= 0; }, 30000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return lost.count() == 1; }, 10000));
    EXPECT_EQ(lost.at(0).at(0).toString(), DescribePortFault(PortFault::Lost, line));
    EXPECT_FALSE(link.isOpen());
    EXPECT_TRUE(link.isReconnecting());
    // Reopening keeps failing while nobody serves the line, and the half reply stays undecoded.
    QTest::qWait(1500);
    EXPECT_EQ(decoded, decodedAtKill);
    EXPECT_EQ(lost.count(), 1);

    SimProcess again(simArgs);
    ASSERT_TRUE(again.isReady()) << again.errorText().toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return reopened.count() == 1; }, 10000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return decoded > decodedAtKill; }, 20000));
    EXPECT_TRUE(link.isOpen());
    link.close();
}
