#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>
#include <vector>

#include "engine/SharedState.h"
#include "protocol/FrameCodec.h"

namespace zr410 {

// Outcome of a device's last poll, as the link-state cell shows it.
enum class LinkMark { Good, Over, Crc, Ng };

const char* LinkMarkText(LinkMark mark);     // UTF-8: "양호", "OVER", "CRC", "NG"
std::uint32_t LinkMarkColor(LinkMark mark);  // 0xRRGGBB: green for good, red otherwise

// Reply decoders of the read states. Each returns false when the reply holds fewer values than
// its list asks for; the values decoded up to that point stay, and the request is repeated.
class ReplyDecoders {
public:
    virtual ~ReplyDecoders() = default;
    virtual bool DecodeStatusBlock(int deviceIndex, QByteArrayView frame) = 0;
    virtual bool DecodeReservationBlock(QByteArrayView frame) = 0;
    virtual bool DecodeParameterBlock(QByteArrayView frame) = 0;
    virtual bool DecodeErrorHistory(QByteArrayView frame) = 0;
};

// Everything the poll cycle asks of the world around it: the port, the timers, the log and
// the indicators of the main window. The engine itself never waits and never touches I/O.
class PollEngineHost {
public:
    virtual ~PollEngineHost() = default;

    virtual bool isPortOpen() const = 0;
    // Raise RTS, write the frame and one 0x00 byte, lower RTS. False when the port failed.
    virtual bool transmit(const QByteArray& frame) = 0;
    virtual void setReceiveThreshold(int bytes) = 0;
    virtual void discardInput() = 0;

    virtual void armSendTimer() = 0;  // one-shot, 50 ms
    virtual void stopSendTimer() = 0;
    virtual void armReplyTimer() = 0;  // one-shot, 600 ms
    virtual void stopReplyTimer() = 0;

    virtual void logBlock(const QByteArray& bytes) = 0;  // communication log

    virtual void flashSendLamp() = 0;
    virtual void showLinkMark(int deviceIndex, LinkMark mark) = 0;
    virtual void showConnection(int deviceIndex, bool connected) = 0;
    virtual void showEditDevice(int deviceIndex, int deviceNo) = 0;
    virtual void showConnectCheck(bool visible) = 0;
    virtual void setOnlineControls(bool online) = 0;
    virtual void showRunTableTimeout(int deviceIndex) = 0;
    virtual void refreshParameterScreen() = 0;
    virtual void traceReceived(const QByteArray& block) = 0;
    // A queued request the frame cannot carry (a value outside -32768..65535, a register
    // beyond four digits, lists shorter than the state needs); the cycle returns to the status
    // poll and the window tells the operator.
    virtual void requestRefused(const std::vector<int>& registers,
                                const std::vector<int>& values) = 0;
};

// The poll cycle: one request outstanding at a time; identification scan first, then the
// status poll of every connected controller in turn, with requests from the write-request
// slot taken up at the next send tick. Fed with events, it tells its host what to do.
class PollEngine {
public:
    PollEngine(SharedState& state, PollEngineHost& host);

    void setDecoders(ReplyDecoders* decoders) { decoders_ = decoders; }

    // The port has just been opened: start the identification scan.
    void portOpened();
    // The operator closed the port: no further send ticks. A reply timer already armed is
    // left to fire once, as the cycle always did.
    void portClosed();
    // The port failed (adapter unplugged, I/O error): everything stops at once.
    void portLost();
    // A new device selection while the port is open: scan the new list from its start.
    void restartScan();

    void sendTick();                              // tmrSend_Timer
    void blockReceived(const QByteArray& block);  // the gathered bytes of MSComm1_OnComm
    void replyTimeout();                          // tmrRecvErr_Timer

    int PollState() const { return pollState_; }
    int CurrentIndex() const { return currentIndex_; }
    int TimeoutCount() const { return timeoutCount_; }

    int NextScanIndex() const;
    int FindConnectedFrom(int start) const;

private:
    void SendIdentifyRequest(int device);
    void SendReadRequest(int device, const std::vector<int>& registers);
    void SendWriteRequest(int device, int pairs);
    void transmitRequest(const QByteArray& frame, int threshold);
    void refuseRequest();

    bool handleFrame(const QByteArray& frame);
    void handleIdentification(const QByteArray& frame);
    bool handleAcknowledgedReply(const QByteArray& frame);
    void continueScan();
    void moveToNextConnected();
    void markLink(LinkMark mark);

    SharedState& state_;
    PollEngineHost& host_;
    ReplyDecoders* decoders_ = nullptr;

    int pollState_ = 0;
    int currentIndex_ = 0;
    int timeoutCount_ = 0;
    FrameAssembler rx_;
};

}  // namespace zr410
