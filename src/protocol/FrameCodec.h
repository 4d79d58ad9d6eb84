#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>
#include <span>

// The controllers' ASCII register protocol: request frames, the optional checksum, the digit
// conversions and the assembly of received bytes into reply frames.
namespace zr410 {

inline constexpr char kSTX = 0x02;
inline constexpr char kCR = 0x0D;
inline constexpr char kLF = 0x0A;

// 0 when the protocol text is exactly "STD", 2 for anything else ("SUM", "SUM ", "").
int ChecksumLengthFor(const QString& protocolText);

// Value of one hexadecimal digit as the controllers' firmware reads it: "A".."F" give 10..15,
// "0".."9" their value, and every other character 0 (lower-case letters included).
int DigitValue(char c);

int HexToUnsigned(QByteArrayView text);
// A 4-digit field read as a 16-bit two's complement word: "FFFF" gives -1, "8000" -32768.
int HexToSigned16(QByteArrayView text);
// Upper-case hexadecimal of a 16-bit value, zero-padded to width; negatives wrap (-1 -> FFFF).
// A longer text is not shortened.
QByteArray ToHex16(int value, int width);

// Writes the two checksum digits at len-4 and len-3 of a finished frame, summed over 1..len-5.
void FillChecksum(QByteArray& frame);
bool VerifyChecksum(QByteArrayView frame);

// Bytes as readable text, STX, CR and LF spelled out as <STX>, <CR> and <LF>: the one form
// in which the communication log, the simulator's log and the tests show frames. Other bytes
// are copied as they are, or, with Hex, bytes outside printable ASCII are shown as <1B>.
enum class OtherBytes { AsIs, Hex };
QByteArray ReadableFrame(QByteArrayView bytes, OtherBytes others = OtherBytes::AsIs);

// Limits of what the frame fields can carry.
inline constexpr int kMaxDeviceNumber = 99;
inline constexpr int kMaxRegister = 9999;
inline constexpr int kMaxRegisterCount = 99;
inline constexpr int kMinWordValue = -32768;
inline constexpr int kMaxWordValue = 65535;

QByteArray BuildIdentifyFrame(int device, int checksumLength);
// Registers outside 0..9999, more than 99 entries or a device outside 0..99 give nothing.
std::optional<QByteArray> BuildReadFrame(int device, std::span<const int> registers,
                                         int checksumLength);
// Additionally refuses a value outside -32768..65535 instead of sending a truncated word.
std::optional<QByteArray> BuildWriteFrame(int device, std::span<const int> registers,
                                          std::span<const int> values, int checksumLength);

// How many buffered bytes must arrive before the receive step looks at a reply.
int ReadReplyThreshold();
int WriteReplyThreshold(int checksumLength);
int IdentifyReplyThreshold(int checksumLength);

// Reply tests on a complete frame.
bool IsAcknowledged(QByteArrayView frame);  // contains "OK"
bool IsIdentified(QByteArrayView frame);    // contains "ZR"

// The device number a reply names at offsets 1 and 2; nothing when they are not two digits.
std::optional<int> ReplyAddress(QByteArrayView frame);
// Length of a complete read reply carrying count values: 5 * count + 11 + checksumLength.
int ReadReplyLength(int count, int checksumLength);

// Value i of a read reply: the 4 hex digits at offsets 10+5i..13+5i, as a signed word.
// Nothing when the frame is too short to hold it.
std::optional<int> ReplyValue(QByteArrayView frame, int index);

// Collects received bytes into one frame, STX to LF. A negative reply ("NG" at offsets 3
// and 4) is reported as soon as its fifth byte arrives. The buffer never grows without
// bound: a stream without STX or LF is dropped past kMaxFrameBytes.
class FrameAssembler {
public:
    enum class Result { NeedMore, Complete, Negative };
    static constexpr int kMaxFrameBytes = 4096;

    Result feed(char byte);
    // The frame just completed (or the negative reply detected).
    const QByteArray& frame() const { return buffer_; }
    int count() const { return static_cast<int>(buffer_.size()); }
    void reset() { buffer_.clear(); }

private:
    QByteArray buffer_;
};

}  // namespace zr410
