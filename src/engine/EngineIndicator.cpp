#include "engine/EngineIndicator.h"

namespace zr410 {

const char* LinkMarkText(LinkMark mark) {
    switch (mark) {
        case LinkMark::Good:
            return "양호";
        case LinkMark::Over:
            return "OVER";
        case LinkMark::Crc:
            return "CRC";
        case LinkMark::Ng:
            return "NG";
    }
    return "";
}

std::uint32_t LinkMarkColor(LinkMark mark) {
    return mark == LinkMark::Good ? 0x00FF00u : 0xFF0000u;
}

EngineIndicator EngineIndicator::Link(int deviceIndex, LinkMark mark) {
    EngineIndicator i;
    i.kind = Kind::LinkMark;
    i.deviceIndex = deviceIndex;
    i.mark = mark;
    return i;
}

EngineIndicator EngineIndicator::Flag(Kind kind, bool on) {
    EngineIndicator i;
    i.kind = kind;
    i.on = on;
    return i;
}

EngineIndicator EngineIndicator::ForDevice(Kind kind, int deviceIndex, bool on) {
    EngineIndicator i;
    i.kind = kind;
    i.deviceIndex = deviceIndex;
    i.on = on;
    return i;
}

EngineIndicator EngineIndicator::Edit(int deviceIndex, int deviceNo) {
    EngineIndicator i;
    i.kind = Kind::EditDevice;
    i.deviceIndex = deviceIndex;
    i.deviceNo = deviceNo;
    return i;
}

EngineIndicator EngineIndicator::TraceOf(TraceDirection direction, const QByteArray& bytes) {
    EngineIndicator i;
    i.kind = Kind::Trace;
    i.direction = direction;
    i.bytes = bytes;
    return i;
}

EngineIndicator EngineIndicator::Request(Kind kind, PollState state, std::vector<int> registers,
                                         std::vector<int> values) {
    EngineIndicator i;
    i.kind = kind;
    i.state = state;
    i.registers = std::move(registers);
    i.values = std::move(values);
    return i;
}

}  // namespace zr410
