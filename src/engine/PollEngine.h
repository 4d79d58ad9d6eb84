#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>
#include <vector>

#include "engine/EngineIndicator.h"
#include "engine/PollState.h"
#include "engine/SharedState.h"
#include "protocol/FrameCodec.h"

namespace zr410 {

// Reply decoders of the read states, each given the index of the device the request went
// to. Each returns false when the reply holds fewer values than its list asks for; the
// request is then repeated.
class ReplyDecoders {
public:
    virtual ~ReplyDecoders() = default;
    virtual bool DecodeStatusBlock(int deviceIndex, QByteArrayView frame) = 0;
    virtual bool DecodeReservationBlock(int deviceIndex, QByteArrayView frame) = 0;
    virtual bool DecodeParameterBlock(int deviceIndex, QByteArrayView frame) = 0;
    virtual bool DecodeErrorHistory(QByteArrayView frame) = 0;
};

// What the poll cycle asks of the world around it: the port with its communication log, the
// timers, and one indicator event for whatever has to be shown. The engine itself never
// waits and never touches I/O.
class PollEngineHost {
public:
    virtual ~PollEngineHost() = default;

    virtual bool isPortOpen() const = 0;
    // Raise RTS, write the frame and one 0x00 byte, lower RTS. False when the port failed.
    virtual bool transmit(const QByteArray& frame) = 0;
    virtual void discardInput() = 0;
    virtual void logBlock(const QByteArray& bytes) = 0;  // communication log

    virtual void armSendTimer() = 0;  // one-shot, 50 ms
    virtual void stopSendTimer() = 0;
    // One-shot, 600 ms, restarted when already running. Right after a transmission the limit
    // counts from the end of the request on the line: a controller cannot answer before it
    // has heard the whole request, which at 9600 baud takes 200 ms for a status read.
    virtual void armReplyTimer() = 0;
    virtual void stopReplyTimer() = 0;
    // One-shot, 200 ms: let the rest of a reply arrive, then hand over all received bytes
    // with blockReceived().
    virtual void startGather() = 0;

    virtual void indicate(const EngineIndicator& indicator) = 0;
};

// The poll cycle: one request outstanding at a time; identification scan first, then the
// status poll of every connected controller in turn, with requests from the write-request
// slot taken up at the next send tick. Fed with events, it tells its host what to do.
//
// The line is half duplex: while a request waits for its reply, or while received bytes are
// being gathered, nothing is sent. A reply belongs to the request that was sent: it is
// decoded only for the device that was asked, and bytes that arrive when no request waits
// (a reply after its time-out, line noise) are logged but never decoded.
class PollEngine {
public:
    PollEngine(SharedState& state, PollEngineHost& host);

    void setDecoders(ReplyDecoders* decoders) { decoders_ = decoders; }

    // The port has just been opened: start the identification scan.
    void portOpened();
    // The operator closed the port: no further send ticks. A reply timer already armed is
    // left to fire once, as the cycle always did.
    void portClosed();
    // The port failed (adapter unplugged, I/O error): everything stops at once, and a
    // request waiting in the slot is dropped.
    void portLost();
    // A new device selection while the port is open: scan the new list from its start, as
    // soon as the request on the line has ended.
    void restartScan();

    void sendTick();                              // tmrSend_Timer
    void bytesArrived(int available);             // the port's receive notification
    void blockReceived(const QByteArray& block);  // the bytes gathered since bytesArrived
    void replyTimeout();                          // tmrRecvErr_Timer

    PollState State() const { return pollState_; }
    int CurrentIndex() const { return currentIndex_; }
    int TimeoutCount() const { return timeoutCount_; }
    int ReceiveThreshold() const { return threshold_; }
    bool RequestOutstanding() const { return request_.has_value(); }

    int NextScanIndex() const;
    int FindConnectedFrom(int start) const;

private:
    // The request on the line: what was asked of whom.
    struct Request {
        PollState state = PollState::None;
        int deviceIndex = -1;
        int deviceNo = 0;
        int valueCount = 0;  // values a read reply must carry; 0 for other requests
    };

    void SendIdentifyRequest(int deviceIndex);
    void SendReadRequest(int deviceIndex, int deviceNo, const std::vector<int>& registers);
    void SendWriteRequest(int deviceIndex, int deviceNo, int pairs);
    void transmitRequest(const QByteArray& frame, int threshold, const Request& request);
    void refuseRequest();
    void armSend();
    void stopSend();
    void lineFree(bool requestEnded);
    void applyRestart();

    void feedReply(const QByteArray& block);
    bool handleFrame(const Request& request, const QByteArray& frame);
    void handleIdentification(const Request& request, const QByteArray& frame);
    bool handleAcknowledgedReply(const Request& request, const QByteArray& frame);
    void continueScan();
    void moveToNextConnected();
    void resumeStatusPoll();
    void markLink(const Request& request, LinkMark mark);

    SharedState& state_;
    PollEngineHost& host_;
    ReplyDecoders* decoders_ = nullptr;

    PollState pollState_ = PollState::None;
    PollState stateBeforePending_ = PollState::None;
    int currentIndex_ = 0;
    int timeoutCount_ = 0;
    int threshold_ = 1;
    std::optional<Request> request_;
    bool gathering_ = false;
    bool sendArmed_ = false;
    bool sendHeld_ = false;  // a send tick was due when stray bytes began to arrive
    bool restartPending_ = false;
    FrameAssembler rx_;
};

}  // namespace zr410
