#include "sim/SimBus.h"

#include <cstdio>

#include "protocol/FrameCodec.h"

namespace zr410::sim {

SimBus::SimBus(const std::vector<int>& devices, int checksumLength, std::uint64_t seed,
               const CalendarTime& wallClock, TimePoint now)
    : checksumLength_(checksumLength), faults_(seed) {
    for (int number : devices) {
        // Each device gets its own noise sequence, derived from the one seed.
        devices_.emplace(number, std::make_unique<SimController>(
                                     number, seed * 1000003ULL + static_cast<std::uint64_t>(number),
                                     wallClock, now));
    }
}

SimController* SimBus::device(int number) {
    auto it = devices_.find(number);
    return it == devices_.end() ? nullptr : it->second.get();
}

std::vector<int> SimBus::deviceNumbers() const {
    std::vector<int> numbers;
    for (const auto& entry : devices_) {
        numbers.push_back(entry.first);
    }
    return numbers;
}

std::optional<Transmission> SimBus::handle(QByteArrayView frame, TimePoint now) {
    const ParsedFrame parsed = ParseRequest(frame, checksumLength_);
    ++counters_.requests;
    if (parsed.device >= 0) {
        ++counters_.perDevice[parsed.device];
    }
    const bool valid = parsed.status == ParsedFrame::Status::Valid;
    ++counters_.perKind[valid ? static_cast<int>(parsed.request.kind) : 3];

    SimController* controller = device(parsed.device);
    if (controller == nullptr) {
        ++counters_.silent;
        logFrame(frame, "not served, silent");
        return std::nullopt;
    }
    const FaultPlan plan = faults_.plan();
    for (int i = 0; i < kFaultCount; ++i) {
        if (plan.hits(static_cast<Fault>(i))) {
            ++counters_.faults[i];
        }
    }
    if (plan.silent) {
        // The request never reached the controller: nothing is applied, nothing is said.
        ++counters_.silent;
        logFrame(frame, "fault: no reply");
        return std::nullopt;
    }
    QByteArray reply;
    if (!valid) {
        logFrame(frame, parsed.problem);
        reply = BuildNegativeReply(parsed.device, parsed.command, checksumLength_);
    } else if (plan.negative) {
        logFrame(frame, "fault: negative reply");
        reply = BuildNegativeReply(parsed.device, parsed.command, checksumLength_);
    } else {
        logFrame(frame, {});
        reply = answer(*controller, parsed, now);
    }
    ++counters_.replies;
    if (reply.size() > 4 && reply[3] == 'N' && reply[4] == 'G') {
        ++counters_.negative;
    }
    Transmission t = ApplyFaults(plan, std::move(reply), checksumLength_);
    if (log_) {
        log_("tx " + Readable(t.bytes) + (t.lateBy.count() > 0 ? "  (late)" : "") +
             (t.gaps.empty() ? "" : "  (split)"));
    }
    return t;
}

QByteArray SimBus::answer(SimController& controller, const ParsedFrame& parsed, TimePoint now) {
    const Request& request = parsed.request;
    switch (request.kind) {
        case RequestKind::Identify:
            return BuildIdentifyReply(parsed.device, checksumLength_);
        case RequestKind::Read: {
            controller.advance(now);
            std::vector<int> values;
            values.reserve(request.registers.size());
            for (int reg : request.registers) {
                values.push_back(controller.read(reg));
            }
            return BuildReadReply(parsed.device, values, checksumLength_);
        }
        case RequestKind::Write:
            controller.write(request.writes, now);
            for (const RegisterWrite& w : request.writes) {
                if (writes_.size() < kMaxWriteRecords) {
                    writes_.push_back({parsed.device, w.reg, w.value});
                }
            }
            return BuildWriteAck(parsed.device, checksumLength_);
    }
    return {};
}

void SimBus::logFrame(QByteArrayView frame, const std::string& note) const {
    if (log_) {
        log_("rx " + Readable(frame) + (note.empty() ? "" : "  (" + note + ")"));
    }
}

std::string Readable(QByteArrayView bytes) {
    return ReadableFrame(bytes, OtherBytes::Hex).toStdString();
}

}  // namespace zr410::sim
