#include "engine/PollEngine.h"

#include <algorithm>
#include <span>

#include "protocol/RegisterMap.h"

namespace zr410 {
namespace {

template <size_t N>
std::vector<int> listOf(const std::array<int, N>& registers) {
    return {registers.begin(), registers.end()};
}

using Kind = EngineIndicator::Kind;

}  // namespace

PollEngine::PollEngine(SharedState& state, PollEngineHost& host) : state_(state), host_(host) {}

void PollEngine::armSend() {
    sendArmed_ = true;
    host_.armSendTimer();
}

void PollEngine::stopSend() {
    sendArmed_ = false;
    host_.stopSendTimer();
}

void PollEngine::portOpened() {
    pollState_ = PollState::Identify;
    currentIndex_ = 0;
    // A count left over from an earlier session would give up on a device after fewer than
    // three missed replies.
    timeoutCount_ = 0;
    rx_.reset();
    request_.reset();
    gathering_ = false;
    sendHeld_ = false;
    restartPending_ = false;
    state_.EditDeviceNo = 0;
    // A request queued before the port went away has no edit device to go to yet; the
    // cycle starts clean with the scan.
    state_.PendingState = PollState::None;
    host_.indicate(EngineIndicator::Flag(Kind::ConnectCheck, true));
    armSend();
}

void PollEngine::portClosed() {
    stopSend();
    gathering_ = false;
    sendHeld_ = false;
    host_.indicate(EngineIndicator::Flag(Kind::OnlineControls, false));
    host_.indicate(EngineIndicator::Flag(Kind::ConnectCheck, false));
}

void PollEngine::portLost() {
    stopSend();
    host_.stopReplyTimer();
    rx_.reset();
    request_.reset();
    gathering_ = false;
    sendHeld_ = false;
    restartPending_ = false;
    if (state_.PendingState != PollState::None) {
        // After the reopen the scan chooses the edit device afresh; the request would go to
        // nobody, so it is dropped and the operator told.
        host_.indicate(EngineIndicator::Request(Kind::RequestDropped, state_.PendingState,
                                                state_.PendingRegisters, state_.PendingValues));
        state_.PendingState = PollState::None;
    }
    host_.indicate(EngineIndicator::Flag(Kind::OnlineControls, false));
    host_.indicate(EngineIndicator::Flag(Kind::ConnectCheck, false));
}

void PollEngine::restartScan() {
    state_.EditDeviceNo = 0;
    state_.EditDeviceIndex = 0;
    state_.PendingState = PollState::None;
    host_.indicate(EngineIndicator::Flag(Kind::OnlineControls, false));
    host_.indicate(EngineIndicator::Flag(Kind::ConnectCheck, true));
    if (request_ || gathering_) {
        // A reply may be on the line: the scan starts when the request has ended. The reply
        // itself belongs to the old list and is not looked at.
        restartPending_ = true;
        stopSend();
        return;
    }
    applyRestart();
}

void PollEngine::applyRestart() {
    restartPending_ = false;
    sendHeld_ = false;
    pollState_ = PollState::Identify;
    currentIndex_ = 0;
    timeoutCount_ = 0;
    if (host_.isPortOpen()) {
        armSend();
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
    stopSend();
    if (request_ || gathering_) {
        return;  // the line is busy; the end of the request arms the next tick
    }
    if (!state_.IsDeviceIndex(currentIndex_)) {
        // The list was rebuilt under the cycle; carry on from its start.
        currentIndex_ = 0;
    }
    rx_.reset();
    stateBeforePending_ = PollState::None;
    int target = -1;  // a write for another controller than the edit device
    if (state_.PendingState != PollState::None) {
        stateBeforePending_ = pollState_;
        pollState_ = state_.PendingState;
        state_.PendingState = PollState::None;
        if (WritePairs(pollState_) > 0 && state_.IsDeviceIndex(state_.PendingTargetIndex)) {
            target = state_.PendingTargetIndex;
        }
        state_.PendingTargetIndex = -1;
    }
    if (state_.DeviceCount() == 0) {
        return;  // nobody to address; the port is never opened this way
    }
    if (AddressesEditDevice(pollState_) && target < 0 &&
        (state_.EditDeviceNo <= 0 || !state_.IsDeviceIndex(state_.EditDeviceIndex))) {
        refuseRequest();  // no edit device chosen yet: nobody to send it to
        return;
    }
    host_.indicate(EngineIndicator::Flag(Kind::SendLamp, true));

    const int edit = state_.EditDeviceIndex;
    const int editNo = state_.EditDeviceNo;
    switch (pollState_) {
        case PollState::Identify:
            SendIdentifyRequest(currentIndex_);
            break;
        case PollState::Status:
            state_.PendingRegisters = listOf(kStatusList);
            SendReadRequest(currentIndex_, state_.DeviceNumbers[currentIndex_],
                            state_.PendingRegisters);
            break;
        case PollState::Reservation:
            state_.PendingRegisters = listOf(kReservationList);
            SendReadRequest(edit, editNo, state_.PendingRegisters);
            break;
        case PollState::Parameters:
            state_.PendingRegisters = listOf(kParameterList);
            SendReadRequest(edit, editNo, state_.PendingRegisters);
            break;
        case PollState::ErrorHistory:
            state_.PendingRegisters = listOf(kErrorHistoryList);
            SendReadRequest(edit, editNo, state_.PendingRegisters);
            break;
        case PollState::RawRead:
            SendReadRequest(
                edit, editNo,
                std::vector<int>(state_.PendingRegisters.begin(),
                                 state_.PendingRegisters.begin() +
                                     std::min<size_t>(1, state_.PendingRegisters.size())));
            break;
        case PollState::WriteOne:
        case PollState::WriteTwo:
        case PollState::WriteClock:
            if (target >= 0) {
                SendWriteRequest(target, state_.DeviceNumbers[target], WritePairs(pollState_));
            } else {
                SendWriteRequest(edit, editNo, WritePairs(pollState_));
            }
            break;
        case PollState::None:
            break;
    }
}

void PollEngine::SendIdentifyRequest(int deviceIndex) {
    const int s = state_.ChecksumLength;
    const int device = state_.DeviceNumbers[deviceIndex];
    // Identification requests are not logged; their replies are.
    transmitRequest(BuildIdentifyFrame(device, s), IdentifyReplyThreshold(s),
                    {PollState::Identify, deviceIndex, device, 0});
}

void PollEngine::SendReadRequest(int deviceIndex, int deviceNo, const std::vector<int>& registers) {
    const auto frame = BuildReadFrame(deviceNo, registers, state_.ChecksumLength);
    if (!frame || registers.empty()) {
        // An unusable register list (the raw read of an address beyond four digits): drop it
        // and go back to what the cycle was doing rather than stall it.
        refuseRequest();
        return;
    }
    host_.logBlock(*frame);
    transmitRequest(*frame, ReadReplyThreshold(),
                    {pollState_, deviceIndex, deviceNo, static_cast<int>(registers.size())});
}

void PollEngine::SendWriteRequest(int deviceIndex, int deviceNo, int pairs) {
    const auto& registers = state_.PendingRegisters;
    const auto& values = state_.PendingValues;
    std::optional<QByteArray> frame;
    if (static_cast<int>(registers.size()) >= pairs && static_cast<int>(values.size()) >= pairs) {
        frame = BuildWriteFrame(deviceNo, std::span(registers).first(pairs),
                                std::span(values).first(pairs), state_.ChecksumLength);
    }
    if (!frame) {
        refuseRequest();
        return;
    }
    host_.logBlock(*frame);
    transmitRequest(*frame, WriteReplyThreshold(state_.ChecksumLength),
                    {pollState_, deviceIndex, deviceNo, 0});
}

void PollEngine::transmitRequest(const QByteArray& frame, int threshold, const Request& request) {
    threshold_ = threshold;
    if (!host_.isPortOpen()) {
        return;
    }
    request_ = request;
    host_.indicate(EngineIndicator::TraceOf(TraceDirection::Sent, frame));
    if (!host_.transmit(frame)) {
        // The host reports the failure and closes the port; nothing is outstanding.
        host_.stopReplyTimer();
        request_.reset();
        return;
    }
    host_.armReplyTimer();
}

void PollEngine::refuseRequest() {
    const PollState refused = pollState_;
    pollState_ = stateBeforePending_ != PollState::None && stateBeforePending_ != refused
                     ? stateBeforePending_
                     : PollState::Status;
    if (host_.isPortOpen()) {
        armSend();
    }
    // Reported last: whatever the window does with it, the cycle is already on its way.
    host_.indicate(EngineIndicator::Request(Kind::RequestRefused, refused, state_.PendingRegisters,
                                            state_.PendingValues));
}

void PollEngine::bytesArrived(int available) {
    if (gathering_ || available <= 0) {
        return;
    }
    if (request_ && available < threshold_) {
        // The reply is coming in but is not complete enough to look at: its limit now counts
        // from the last bytes heard, so a slow reply is never cut off mid-way.
        host_.armReplyTimer();
        return;
    }
    gathering_ = true;
    host_.stopReplyTimer();
    if (!request_ && sendArmed_) {
        // Bytes nobody asked for are on the line: sending now would collide with them.
        stopSend();
        sendHeld_ = true;
    }
    host_.indicate(EngineIndicator::Flag(Kind::ReceiveLamp, true));
    host_.startGather();
}

void PollEngine::blockReceived(const QByteArray& block) {
    gathering_ = false;
    if (!block.isEmpty()) {
        host_.logBlock(block);
        host_.indicate(EngineIndicator::TraceOf(TraceDirection::Received, block));
    }
    if (!request_) {
        // A reply after its time-out, or noise: logged, never decoded.
        lineFree(false);
        return;
    }
    if (restartPending_) {
        // The reply of a device of the old list: the new scan starts now.
        host_.stopReplyTimer();
        request_.reset();
        applyRestart();
        return;
    }
    feedReply(block);
}

void PollEngine::feedReply(const QByteArray& block) {
    for (char byte : block) {
        switch (rx_.feed(byte)) {
            case FrameAssembler::Result::NeedMore:
                break;
            case FrameAssembler::Result::Negative: {
                host_.stopReplyTimer();
                const Request request = *request_;
                request_.reset();
                markLink(request, LinkMark::Ng);
                lineFree(true);
                return;
            }
            case FrameAssembler::Result::Complete: {
                host_.stopReplyTimer();
                const QByteArray frame = rx_.frame();
                rx_.reset();
                const Request request = *request_;
                request_.reset();
                if (!handleFrame(request, frame)) {
                    // A reply that could not be taken: the same request goes out again.
                    host_.discardInput();
                }
                lineFree(true);
                // Whatever follows in the block answers no request: one request, one reply.
                return;
            }
        }
    }
    // The block ended inside the reply: wait for the rest, counting from now.
    host_.armReplyTimer();
}

// Nothing is on the line any more: a request has ended (requestEnded), or bytes nobody
// asked for have been taken in. The send tick that was due, or the next one, may come.
void PollEngine::lineFree(bool requestEnded) {
    if (request_ || gathering_) {
        return;
    }
    if (restartPending_) {
        applyRestart();
        return;
    }
    const bool wasHeld = sendHeld_;
    sendHeld_ = false;
    if (pollState_ != PollState::None && (requestEnded || wasHeld)) {
        armSend();
    }
}

bool PollEngine::handleFrame(const Request& request, const QByteArray& frame) {
    const std::optional<int> address = ReplyAddress(frame);
    if (request.state == PollState::Identify) {
        // The identification reply's layout beyond its model text is not fixed; an address is
        // checked only where it is there to read.
        if (address && *address != request.deviceNo) {
            host_.discardInput();
            markLink(request, LinkMark::Ng);
            return true;
        }
        handleIdentification(request, frame);
        return true;
    }
    const bool sameDevice = address && *address == request.deviceNo;
    const bool checksumGood = state_.ChecksumLength == 0 || VerifyChecksum(frame);
    const bool lengthGood =
        request.valueCount == 0 ||
        frame.size() == ReadReplyLength(request.valueCount, state_.ChecksumLength);
    if (request.state == PollState::RawRead) {
        if (!(sameDevice && checksumGood && IsAcknowledged(frame) && lengthGood)) {
            host_.discardInput();
        }
        return true;
    }
    if (!checksumGood) {
        host_.discardInput();
        markLink(request, LinkMark::Crc);
        return true;
    }
    if (!IsAcknowledged(frame) || !sameDevice) {
        // Another controller's reply is never taken for the one that was asked.
        host_.discardInput();
        markLink(request, LinkMark::Ng);
        return true;
    }
    if (!lengthGood) {
        return false;  // too few or too many values for the list that was asked
    }
    return handleAcknowledgedReply(request, frame);
}

void PollEngine::handleIdentification(const Request& request, const QByteArray& frame) {
    const int index = request.deviceIndex;
    if (!IsIdentified(frame) || !state_.IsDeviceIndex(index)) {
        return;  // asked again at the next tick
    }
    state_.DeviceConnected[index] = true;
    host_.indicate(EngineIndicator::ForDevice(Kind::Connection, index, true));
    if (state_.EditDeviceNo == 0) {
        state_.EditDeviceIndex = index;
        state_.EditDeviceNo = state_.DeviceNumbers[index];
        host_.indicate(EngineIndicator::Edit(index, state_.EditDeviceNo));
    }
    continueScan();
}

void PollEngine::continueScan() {
    // The count belongs to the device the scan is leaving: time-outs of earlier devices must
    // never make the scan give up a controller after a single missed reply.
    timeoutCount_ = 0;
    currentIndex_ = NextScanIndex();
    if (currentIndex_ != 0) {
        return;
    }
    const int first = FindConnectedFrom(0);
    if (state_.AnyDeviceConnected()) {
        currentIndex_ = first;
        host_.indicate(EngineIndicator::Flag(Kind::OnlineControls, true));
        host_.indicate(EngineIndicator::Flag(Kind::ConnectCheck, false));
        pollState_ = PollState::Status;
    } else {
        currentIndex_ = 0;
    }
}

bool PollEngine::handleAcknowledgedReply(const Request& request, const QByteArray& frame) {
    const int index = request.deviceIndex;
    switch (request.state) {
        case PollState::Status: {
            if (!state_.IsDeviceIndex(index)) {
                return true;
            }
            state_.DeviceConnected[index] = true;
            markLink(request, LinkMark::Good);
            if (decoders_ != nullptr && !decoders_->DecodeStatusBlock(index, frame)) {
                return false;
            }
            moveToNextConnected();
            return true;
        }
        case PollState::Reservation:
            markLink(request, LinkMark::Good);
            if (decoders_ != nullptr && !decoders_->DecodeReservationBlock(index, frame)) {
                return false;
            }
            pollState_ = PollState::Parameters;
            return true;
        case PollState::Parameters:
            markLink(request, LinkMark::Good);
            if (decoders_ != nullptr && !decoders_->DecodeParameterBlock(index, frame)) {
                return false;
            }
            host_.indicate(EngineIndicator::ForDevice(Kind::ParameterRefresh, index));
            resumeStatusPoll();
            return true;
        case PollState::ErrorHistory:
            markLink(request, LinkMark::Good);
            if (decoders_ != nullptr && !decoders_->DecodeErrorHistory(frame)) {
                return false;
            }
            resumeStatusPoll();
            return true;
        case PollState::WriteOne:
        case PollState::WriteTwo:
            markLink(request, LinkMark::Good);
            if (index != state_.EditDeviceIndex) {
                // Another controller than the one on screen: nothing shown to read back.
                resumeStatusPoll();
            } else {
                pollState_ = PollState::Reservation;
            }
            return true;
        case PollState::WriteClock:
            markLink(request, LinkMark::Good);
            resumeStatusPoll();
            return true;
        default:
            return true;
    }
}

// Back to the status poll where it left off. Starting again from the first device after
// every write would leave the controllers at the end of a long list unpolled (and unlogged)
// for as long as an operator keeps changing settings.
void PollEngine::resumeStatusPoll() {
    const int next = FindConnectedFrom(currentIndex_);
    currentIndex_ = next != -1 ? next : std::max(FindConnectedFrom(0), 0);
    pollState_ = PollState::Status;
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

// The mark goes to the row of the device that was asked, which for the edit device's requests
// need not be the device the status poll has reached.
void PollEngine::markLink(const Request& request, LinkMark mark) {
    if (state_.IsDeviceIndex(request.deviceIndex)) {
        host_.indicate(EngineIndicator::Link(request.deviceIndex, mark));
    }
}

void PollEngine::replyTimeout() {
    host_.stopReplyTimer();
    if (gathering_ || !request_) {
        return;  // a reply is being gathered, or the timer outlived its request
    }
    const Request request = *request_;
    request_.reset();
    if (restartPending_) {
        applyRestart();
        return;
    }
    markLink(request, LinkMark::Over);
    if (state_.IsDeviceIndex(request.deviceIndex)) {
        host_.indicate(EngineIndicator::ForDevice(Kind::RunTableTimeout, request.deviceIndex));
    }
    timeoutCount_ += 1;
    if (timeoutCount_ > 2) {
        timeoutCount_ = 0;
        if (pollState_ == PollState::Identify) {
            if (state_.IsDeviceIndex(currentIndex_)) {
                state_.DeviceConnected[currentIndex_] = false;
                host_.indicate(EngineIndicator::ForDevice(Kind::Connection, currentIndex_, false));
            }
            continueScan();
        } else {
            moveToNextConnected();
        }
    }
    armSend();
}

}  // namespace zr410
