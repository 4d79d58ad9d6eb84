#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "sim/SimTypes.h"

// The controller's side of the line protocol: cutting the received byte stream into request
// frames, parsing them strictly, and building the replies a controller sends.
namespace zr410::sim {

enum class RequestKind { Identify, Read, Write };

struct Request {
    RequestKind kind = RequestKind::Identify;
    std::vector<int> registers;         // read requests
    std::vector<RegisterWrite> writes;  // write requests
};

struct ParsedFrame {
    enum class Status {
        Valid,        // a well-formed request
        Malformed,    // addressed, but not a request we accept: the device answers NG
        Unaddressed,  // no readable device number: nobody can answer
    };
    Status status = Status::Unaddressed;
    int device = -1;
    // "WHO", "DRR" or "DWR" when the command field holds one of them, else "???"; echoed in NG.
    QByteArray command = "???";
    Request request;      // meaningful only when Valid
    std::string problem;  // why a frame is Malformed, for the log
};

// frame runs from STX to LF inclusive. checksumLength is 0 (STD) or 2.
ParsedFrame ParseRequest(QByteArrayView frame, int checksumLength);

// Reply layouts, s = checksumLength:
//   read:     STX dd DRR,OK{,vvvv}  [cs] CR LF    5n + 11 + s bytes
//   write:    STX dd DWR,OK         [cs] CR LF    11 + s bytes
//   identify: STX dd WHO,OK,ZR410,SIM,VER,0100 [cs] CR LF    30 + s bytes
//   negative: STX dd NG,ccc         [cs] CR LF    11 + s bytes (ccc the request's command)
QByteArray BuildReadReply(int device, std::span<const int> values, int checksumLength);
QByteArray BuildWriteAck(int device, int checksumLength);
QByteArray BuildIdentifyReply(int device, int checksumLength);
QByteArray BuildNegativeReply(int device, QByteArrayView command, int checksumLength);

// Cuts the byte stream from the master into request frames, STX to LF. Bytes outside a frame
// (line noise, the 0x00 the master sends after each request) are dropped; an STX inside a
// frame starts a new one, and a frame that grows past any valid request is dropped.
class RequestAssembler {
public:
    // The longest valid request is a write of 99 pairs with checksum: 1003 bytes.
    static constexpr int kMaxFrameBytes = 1100;

    struct Frame {
        QByteArray bytes;
        TimePoint started;  // when its STX arrived
    };

    std::optional<Frame> feed(char byte, TimePoint now);
    bool inFrame() const { return !buffer_.isEmpty(); }

private:
    QByteArray buffer_;
    TimePoint started_{};
};

}  // namespace zr410::sim
