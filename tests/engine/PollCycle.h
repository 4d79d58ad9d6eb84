#pragma once

#include <gtest/gtest.h>

#include "FakeHost.h"
#include "ReplyFrames.h"
#include "engine/PollEngine.h"

inline QByteArray text(const char* s) {
    return QByteArray(s);
}

// A poll cycle over a scripted host, opened on the given device numbers.
class PollCycle : public ::testing::Test {
protected:
    void open(std::vector<int> devices, int checksumLength = 2) {
        state.SetDeviceNumbers(std::move(devices));
        state.ChecksumLength = checksumLength;
        engine.setDecoders(&decoders);
        engine.portOpened();
    }

    // One send tick; the frame it put on the wire (empty when nothing went out).
    QByteArray tick() {
        const size_t before = host.sent.size();
        EXPECT_TRUE(host.sendArmed) << "send tick without an armed send timer";
        engine.sendTick();
        return host.sent.size() > before ? host.sent.back() : QByteArray();
    }

    // The adapter's receive step: the first bytes arrive, the rest is gathered, and the
    // gathered block is handed over.
    void reply(const QByteArray& block) {
        host.gatherStarted = false;
        engine.bytesArrived(static_cast<int>(block.size()));
        EXPECT_TRUE(host.gatherStarted) << "a whole reply arrived without a gather";
        EXPECT_FALSE(host.replyArmed) << "the time-out runs while a reply is gathered";
        engine.blockReceived(block);
    }

    void timeout() {
        ASSERT_TRUE(host.replyArmed) << "time-out without an armed reply timer";
        engine.replyTimeout();
    }

    // Identifies every listed device with one round of the scan.
    void identifyAll() {
        for (int device : state.DeviceNumbers) {
            tick();
            reply(replies::identify(device, state.ChecksumLength));
        }
        ASSERT_EQ(engine.State(), zr410::PollState::Status);
    }

    zr410::SharedState state;
    FakeHost host;
    FakeDecoders decoders;
    zr410::PollEngine engine{state, host};
};
