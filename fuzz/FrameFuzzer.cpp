// Frame assembly and every reply decoder, fed whatever a controller or a noisy line could
// send. The first byte chooses the checksum setting, the edit device and the device whose
// reply it is; the rest is the received byte stream, cut into frames as the poll cycle cuts
// it, and every complete frame goes through the reply tests and all four decoders.
#include <QByteArray>

#include <cstddef>
#include <cstdint>

#include "FuzzCheck.h"
#include "engine/SharedState.h"
#include "model/Decoders.h"
#include "model/ErrorHistory.h"
#include "model/ValueTable.h"
#include "protocol/FrameCodec.h"

using namespace zr410;

namespace {

constexpr int kServed = 3;

void takeFrame(const QByteArray& frame, int replyIndex, int editIndex, DeviceDecoders& decoders) {
    VerifyChecksum(frame);
    IsAcknowledged(frame);
    IsIdentified(frame);
    for (int i = 0; i < 40; ++i) {
        const auto value = ReplyValue(frame, i);
        FUZZ_CHECK(!value || (*value >= -32768 && *value <= 32767));
    }
    decoders.DecodeStatusBlock(replyIndex, frame);
    decoders.DecodeReservationBlock(editIndex, frame);
    decoders.DecodeParameterBlock(editIndex, frame);
    decoders.DecodeErrorHistory(frame);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const std::uint8_t setup = data[0];
    SharedState state;
    state.SetDeviceNumbers({1, 2, 3});
    state.ChecksumLength = (setup & 1) != 0 ? 2 : 0;
    state.EditDeviceIndex = (setup >> 1) % kServed;
    state.EditDeviceNo = state.DeviceNumbers[static_cast<std::size_t>(state.EditDeviceIndex)];
    const int replyIndex = (setup >> 3) % kServed;

    ValueTable table;
    table.resetRows(state.DeviceNumbers);
    ErrorHistory errors;
    DeviceDecoders decoders(state, table, errors);

    FrameAssembler rx;
    for (std::size_t i = 1; i < size; ++i) {
        const FrameAssembler::Result result = rx.feed(static_cast<char>(data[i]));
        FUZZ_CHECK(rx.count() <= FrameAssembler::kMaxFrameBytes);
        switch (result) {
            case FrameAssembler::Result::NeedMore:
                break;
            case FrameAssembler::Result::Negative:
                FUZZ_CHECK(rx.count() >= 5);
                rx.reset();
                break;
            case FrameAssembler::Result::Complete: {
                const QByteArray frame = rx.frame();
                FUZZ_CHECK(frame.endsWith(kLF));
                rx.reset();
                takeFrame(frame, replyIndex, state.EditDeviceIndex, decoders);
                break;
            }
        }
    }
    return 0;
}
