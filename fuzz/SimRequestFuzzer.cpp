// The simulator's side of the line: any byte stream from a master is cut into request frames,
// parsed with and without the checksum, and answered by the simulated controllers, whose
// registers (clock, reservations, functions) take whatever values a write carries. Every reply
// must be one whole frame.
#include <QByteArray>

#include <cstddef>
#include <cstdint>

#include "FuzzCheck.h"
#include "protocol/FrameCodec.h"
#include "sim/SimBus.h"
#include "sim/SimProtocol.h"

using namespace zr410;
using namespace zr410::sim;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const int checksumLength = (data[0] & 1) != 0 ? 2 : 0;
    TimePoint now{};
    const CalendarTime wallClock{2024, 5, 17, 14, 3, 25};
    // Two controllers at the ends of the address range: each one costs its factory settings.
    SimBus bus({1, 99}, checksumLength, 1, wallClock, now);
    RequestAssembler assembler;
    for (std::size_t i = 1; i < size; ++i) {
        now += std::chrono::milliseconds(1);
        const auto frame = assembler.feed(static_cast<char>(data[i]), now);
        if (!frame) {
            continue;
        }
        FUZZ_CHECK(frame->bytes.size() <= RequestAssembler::kMaxFrameBytes + 1);
        const ParsedFrame other = ParseRequest(frame->bytes, 2 - checksumLength);
        FUZZ_CHECK(other.status != ParsedFrame::Status::Valid || other.device >= 0);
        const auto reply = bus.handle(frame->bytes, now);
        if (reply) {
            FUZZ_CHECK(reply->bytes.startsWith(kSTX));
            FUZZ_CHECK(reply->bytes.endsWith("\r\n"));
        }
        now += std::chrono::milliseconds(50);
    }
    return 0;
}
