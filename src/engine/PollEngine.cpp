#include "engine/PollEngine.h"

#include <array>

namespace zr410 {
namespace {

constexpr std::array<int, 32> kStatusRegisters = {
    507, 506, 1,   2,   3,   4,   5,   6,   8,   9,   10,  11,  12,  13,  14,  16,
    17,  19,  101, 102, 103, 104, 105, 106, 107, 108, 115, 201, 202, 207, 208, 209};
constexpr std::array<int, 10> kReservationRegisters = {602, 610, 611, 612, 613,
                                                       614, 615, 616, 506, 507};
constexpr std::array<int, 32> kParameterRegisters = {
    300, 301, 304, 305, 306, 307, 308, 309, 400, 401, 402, 403, 405, 406, 407, 408,
    500, 501, 502, 503, 504, 505, 508, 509, 510, 511, 512, 513, 514, 600, 601, 618};

template <size_t N>
std::vector<int> listOf(const std::array<int, N>& registers) {
    return {registers.begin(), registers.end()};
}

std::vector<int> errorHistoryRegisters() {
    std::vector<int> registers(20);
    for (int i = 0; i < 20; ++i) {
        registers[i] = 700 + i;
    }
    return registers;
}

int pairsOf(int state) {
    switch (state) {
        case poll::kWriteOne:
            return 1;
        case poll::kWriteTwo:
            return 2;
        default:
            return 6;
    }
}

}  // namespace

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

PollEngine::PollEngine(SharedState& state, PollEngineHost& host) : state_(state), host_(host) {}

void PollEngine::portOpened() {
    pollState_ = poll::kIdentify;
    currentIndex_ = 0;
    // A count left over from an earlier session would give up on a device after fewer than
    // three missed replies.
    timeoutCount_ = 0;
    rx_.reset();
    state_.EditDeviceNo = 0;
    host_.showConnectCheck(true);
    host_.armSendTimer();
}

void PollEngine::portClosed() {
    host_.stopSendTimer();
}

void PollEngine::portLost() {
    host_.stopSendTimer();
    host_.stopReplyTimer();
    rx_.reset();
}

void PollEngine::restartScan() {
    pollState_ = poll::kIdentify;
    currentIndex_ = 0;
    timeoutCount_ = 0;
    state_.EditDeviceNo = 0;
    state_.EditDeviceIndex = 0;
    state_.PendingState = 0;
    host_.setOnlineControls(false);
    host_.showConnectCheck(true);
    if (host_.isPortOpen()) {
        // The cycle may be idle (nothing was sent for an empty list); a request already
        // outstanding ends with its reply or time-out, which re-arms the send timer anyway.
        host_.armSendTimer();
    }
}

int PollEngine::NextScanIndex() const {
    const int next = currentIndex_ + 1;
    return next > state_.LastDeviceIndex() ? 0 : next;
}

int PollEngine::FindConnectedFrom(int start) const {
    const int last = state_.LastDeviceIndex();
    if (start > last) {
        start = 0;
    }
    for (int i = std::max(start, 0); i <= last; ++i) {
        if (state_.DeviceConnected[i]) {
            return i;
        }
    }
    return -1;
}

void PollEngine::sendTick() {
    host_.stopSendTimer();
    if (!state_.IsDeviceIndex(currentIndex_)) {
        // The list was rebuilt under the cycle; carry on from its start.
        currentIndex_ = 0;
    }
    rx_.reset();
    if (state_.PendingState > 0) {
        pollState_ = state_.PendingState;
        state_.PendingState = 0;
    }
    if (state_.DeviceCount() == 0) {
        return;  // nobody to address; the port is never opened this way
    }
    const int device = state_.DeviceNumbers[currentIndex_];
    host_.flashSendLamp();

    switch (pollState_) {
        case poll::kIdentify:
            SendIdentifyRequest(device);
            break;
        case poll::kStatus:
            state_.PendingRegisters = listOf(kStatusRegisters);
            SendReadRequest(device, state_.PendingRegisters);
            break;
        case poll::kReservation:
            state_.PendingRegisters = listOf(kReservationRegisters);
            SendReadRequest(state_.EditDeviceNo, state_.PendingRegisters);
            break;
        case poll::kParameters:
            state_.PendingRegisters = listOf(kParameterRegisters);
            SendReadRequest(state_.EditDeviceNo, state_.PendingRegisters);
            break;
        case poll::kErrorHistory:
            state_.PendingRegisters = errorHistoryRegisters();
            SendReadRequest(state_.EditDeviceNo, state_.PendingRegisters);
            break;
        case poll::kRawRead:
            SendReadRequest(
                state_.EditDeviceNo,
                std::vector<int>(state_.PendingRegisters.begin(),
                                 state_.PendingRegisters.begin() +
                                     std::min<size_t>(1, state_.PendingRegisters.size())));
            break;
        case poll::kWriteOne:
        case poll::kWriteTwo:
        case poll::kWriteClock:
            SendWriteRequest(state_.EditDeviceNo, pairsOf(pollState_));
            break;
        default:
            break;
    }
}

void PollEngine::SendIdentifyRequest(int device) {
    const int s = state_.ChecksumLength;
    // Identification requests are not logged; their replies are.
    transmitRequest(BuildIdentifyFrame(device, s), IdentifyReplyThreshold(s));
}

void PollEngine::SendReadRequest(int device, const std::vector<int>& registers) {
    const auto frame = BuildReadFrame(device, registers, state_.ChecksumLength);
    if (!frame) {
        // An unusable register list (the raw read of an address beyond four digits): drop it
        // and go back to the status poll rather than stall the cycle.
        refuseRequest();
        return;
    }
    host_.logBlock(*frame);
    transmitRequest(*frame, ReadReplyThreshold());
}

void PollEngine::SendWriteRequest(int device, int pairs) {
    const auto& registers = state_.PendingRegisters;
    const auto& values = state_.PendingValues;
    std::optional<QByteArray> frame;
    if (static_cast<int>(registers.size()) >= pairs && static_cast<int>(values.size()) >= pairs) {
        frame = BuildWriteFrame(device, std::span(registers).first(pairs),
                                std::span(values).first(pairs), state_.ChecksumLength);
    }
    if (!frame) {
        refuseRequest();
        return;
    }
    host_.logBlock(*frame);
    transmitRequest(*frame, WriteReplyThreshold(state_.ChecksumLength));
}

void PollEngine::transmitRequest(const QByteArray& frame, int threshold) {
    host_.setReceiveThreshold(threshold);
    if (!host_.isPortOpen()) {
        return;
    }
    host_.armReplyTimer();
    if (!host_.transmit(frame)) {
        // The host reports the failure and closes the port; nothing is outstanding.
        host_.stopReplyTimer();
    }
}

void PollEngine::refuseRequest() {
    host_.requestRefused(state_.PendingRegisters, state_.PendingValues);
    pollState_ = poll::kStatus;
    if (host_.isPortOpen()) {
        host_.armSendTimer();
    }
}

void PollEngine::blockReceived(const QByteArray& block) {
    if (block.isEmpty()) {
        return;
    }
    host_.logBlock(block);
    if (state_.CommViewerOpen) {
        host_.traceReceived(block);
    }
    for (char byte : block) {
        switch (rx_.feed(byte)) {
            case FrameAssembler::Result::NeedMore:
                break;
            case FrameAssembler::Result::Negative:
                host_.stopReplyTimer();
                markLink(LinkMark::Ng);
                if (pollState_ > 0) {
                    host_.armSendTimer();
                }
                return;
            case FrameAssembler::Result::Complete: {
                host_.stopReplyTimer();
                const QByteArray frame = rx_.frame();
                // Bytes after this frame start afresh, so a stray LF can never hand the same
                // reply to a decoder a second time for another device.
                rx_.reset();
                const bool handled = handleFrame(frame);
                if (pollState_ > 0) {
                    host_.armSendTimer();
                }
                if (!handled) {
                    // A reply the decoder could not take: the rest of the block is dropped
                    // and the same request goes out again.
                    host_.discardInput();
                    return;
                }
                break;
            }
        }
    }
}

bool PollEngine::handleFrame(const QByteArray& frame) {
    switch (pollState_) {
        case poll::kIdentify:
            handleIdentification(frame);
            return true;
        case poll::kRawRead: {
            const bool good =
                (state_.ChecksumLength == 0 || VerifyChecksum(frame)) && IsAcknowledged(frame);
            if (!good) {
                host_.discardInput();
            }
            return true;
        }
        case poll::kStatus:
        case poll::kReservation:
        case poll::kParameters:
        case poll::kErrorHistory:
        case poll::kWriteOne:
        case poll::kWriteTwo:
        case poll::kWriteClock:
            break;
        default:
            return true;
    }
    if (state_.ChecksumLength > 0 && !VerifyChecksum(frame)) {
        host_.discardInput();
        markLink(LinkMark::Crc);
        return true;
    }
    if (!IsAcknowledged(frame)) {
        host_.discardInput();
        markLink(LinkMark::Ng);
        return true;
    }
    return handleAcknowledgedReply(frame);
}

void PollEngine::handleIdentification(const QByteArray& frame) {
    if (!IsIdentified(frame) || !state_.IsDeviceIndex(currentIndex_)) {
        return;  // asked again at the next tick
    }
    state_.DeviceConnected[currentIndex_] = true;
    host_.showConnection(currentIndex_, true);
    if (state_.EditDeviceNo == 0) {
        state_.EditDeviceIndex = currentIndex_;
        state_.EditDeviceNo = state_.DeviceNumbers[currentIndex_];
        host_.showEditDevice(currentIndex_, state_.EditDeviceNo);
    }
    continueScan();
}

void PollEngine::continueScan() {
    currentIndex_ = NextScanIndex();
    if (currentIndex_ != 0) {
        return;
    }
    const int first = FindConnectedFrom(0);
    if (state_.AnyDeviceConnected()) {
        currentIndex_ = first;
        host_.setOnlineControls(true);
        host_.showConnectCheck(false);
        pollState_ = poll::kStatus;
    } else {
        currentIndex_ = 0;
    }
}

bool PollEngine::handleAcknowledgedReply(const QByteArray& frame) {
    switch (pollState_) {
        case poll::kStatus: {
            if (!state_.IsDeviceIndex(currentIndex_)) {
                return true;
            }
            state_.DeviceConnected[currentIndex_] = true;
            markLink(LinkMark::Good);
            if (decoders_ != nullptr && !decoders_->DecodeStatusBlock(currentIndex_, frame)) {
                return false;
            }
            moveToNextConnected();
            return true;
        }
        case poll::kReservation:
            markLink(LinkMark::Good);
            if (decoders_ != nullptr && !decoders_->DecodeReservationBlock(frame)) {
                return false;
            }
            pollState_ = poll::kParameters;
            return true;
        case poll::kParameters:
            markLink(LinkMark::Good);
            if (decoders_ != nullptr && !decoders_->DecodeParameterBlock(frame)) {
                return false;
            }
            if (state_.ParamScreenOpen) {
                host_.refreshParameterScreen();
            }
            currentIndex_ = std::max(FindConnectedFrom(0), 0);
            pollState_ = poll::kStatus;
            return true;
        case poll::kErrorHistory:
            markLink(LinkMark::Good);
            if (decoders_ != nullptr && !decoders_->DecodeErrorHistory(frame)) {
                return false;
            }
            currentIndex_ = std::max(FindConnectedFrom(0), 0);
            pollState_ = poll::kStatus;
            return true;
        case poll::kWriteOne:
        case poll::kWriteTwo:
            pollState_ = poll::kReservation;
            return true;
        case poll::kWriteClock:
            pollState_ = poll::kStatus;
            return true;
        default:
            return true;
    }
}

void PollEngine::moveToNextConnected() {
    int next = FindConnectedFrom(currentIndex_ + 1);
    if (next == -1) {
        next = FindConnectedFrom(0);
    }
    if (next != -1) {
        currentIndex_ = next;
    }
}

void PollEngine::markLink(LinkMark mark) {
    if (state_.IsDeviceIndex(currentIndex_)) {
        host_.showLinkMark(currentIndex_, mark);
    }
}

void PollEngine::replyTimeout() {
    host_.stopReplyTimer();
    markLink(LinkMark::Over);
    if (state_.RunMultiOpen && state_.IsDeviceIndex(currentIndex_)) {
        host_.showRunTableTimeout(currentIndex_);
    }
    timeoutCount_ += 1;
    if (timeoutCount_ > 2) {
        timeoutCount_ = 0;
        if (pollState_ == poll::kIdentify) {
            if (state_.IsDeviceIndex(currentIndex_)) {
                state_.DeviceConnected[currentIndex_] = false;
                host_.showConnection(currentIndex_, false);
            }
            continueScan();
        } else {
            moveToNextConnected();
        }
    }
    host_.armSendTimer();
}

}  // namespace zr410
