#include "protocol/FrameCodec.h"

namespace zr410 {
namespace {

void appendDecimal2(QByteArray& out, int n) {
    out.append(static_cast<char>('0' + n / 10));
    out.append(static_cast<char>('0' + n % 10));
}

void appendDecimal4(QByteArray& out, int r) {
    out.append(static_cast<char>('0' + r / 1000));
    out.append(static_cast<char>('0' + (r % 1000) / 100));
    out.append(static_cast<char>('0' + (r % 100) / 10));
    out.append(static_cast<char>('0' + r % 10));
}

bool validDevice(int device) {
    return device >= 0 && device <= kMaxDeviceNumber;
}

bool validRegisters(std::span<const int> registers) {
    if (registers.empty() || registers.size() > static_cast<size_t>(kMaxRegisterCount)) {
        return false;
    }
    for (int r : registers) {
        if (r < 0 || r > kMaxRegister) {
            return false;
        }
    }
    return true;
}

// Common tail of every request: checksum when enabled, then CR LF.
void finishFrame(QByteArray& frame, int checksumLength) {
    if (checksumLength > 0) {
        frame.append(2, '0');
        frame.append(kCR);
        frame.append(kLF);
        FillChecksum(frame);
    } else {
        frame.append(kCR);
        frame.append(kLF);
    }
}

QByteArray frameHead(int device, const char* command, qsizetype size) {
    QByteArray frame;
    frame.reserve(size);
    frame.append(kSTX);
    appendDecimal2(frame, device);
    frame.append(command, 3);
    return frame;
}

}  // namespace

int ChecksumLengthFor(const QString& protocolText) {
    return protocolText == QLatin1String("STD") ? 0 : 2;
}

int DigitValue(char c) {
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    return 0;
}

int HexToUnsigned(QByteArrayView text) {
    int value = 0;
    for (char c : text) {
        value = value * 16 + DigitValue(c);
    }
    return value;
}

int HexToSigned16(QByteArrayView text) {
    int value = HexToUnsigned(text);
    if (!text.isEmpty() && DigitValue(text.front()) > 7) {
        value -= 65536;
    }
    return value;
}

QByteArray ToHex16(int value, int width) {
    if (value < 0) {
        value += 65536;
    }
    QByteArray text = QByteArray::number(value, 16).toUpper();
    if (text.size() < width) {
        text.prepend(QByteArray(width - text.size(), '0'));
    }
    return text;
}

void FillChecksum(QByteArray& frame) {
    const qsizetype len = frame.size();
    if (len < 5) {
        return;
    }
    unsigned sum = 0;
    for (qsizetype i = 1; i <= len - 5; ++i) {
        sum += static_cast<unsigned char>(frame[i]);
    }
    sum %= 256;
    frame[len - 4] = "0123456789ABCDEF"[sum / 16];
    frame[len - 3] = "0123456789ABCDEF"[sum % 16];
}

bool VerifyChecksum(QByteArrayView frame) {
    const qsizetype len = frame.size();
    if (len < 5) {
        return false;
    }
    unsigned sum = 0;
    for (qsizetype i = 1; i <= len - 5; ++i) {
        sum += static_cast<unsigned char>(frame[i]);
    }
    const int stated = 16 * DigitValue(frame[len - 4]) + DigitValue(frame[len - 3]);
    return stated == static_cast<int>(sum % 256);
}

QByteArray BuildIdentifyFrame(int device, int checksumLength) {
    if (!validDevice(device)) {
        device = 0;
    }
    QByteArray frame = frameHead(device, "WHO", 8 + checksumLength);
    finishFrame(frame, checksumLength);
    return frame;
}

std::optional<QByteArray> BuildReadFrame(int device, std::span<const int> registers,
                                         int checksumLength) {
    if (!validDevice(device) || !validRegisters(registers)) {
        return std::nullopt;
    }
    const int n = static_cast<int>(registers.size());
    QByteArray frame = frameHead(device, "DRR", 5 * n + 11 + checksumLength);
    frame.append(',');
    appendDecimal2(frame, n);
    for (int r : registers) {
        frame.append(',');
        appendDecimal4(frame, r);
    }
    finishFrame(frame, checksumLength);
    return frame;
}

std::optional<QByteArray> BuildWriteFrame(int device, std::span<const int> registers,
                                          std::span<const int> values, int checksumLength) {
    if (!validDevice(device) || !validRegisters(registers) || values.size() < registers.size()) {
        return std::nullopt;
    }
    const int n = static_cast<int>(registers.size());
    for (int k = 0; k < n; ++k) {
        if (values[k] < kMinWordValue || values[k] > kMaxWordValue) {
            return std::nullopt;
        }
    }
    QByteArray frame = frameHead(device, "DWR", 10 * n + 11 + checksumLength);
    frame.append(',');
    appendDecimal2(frame, n);
    for (int k = 0; k < n; ++k) {
        frame.append(',');
        appendDecimal4(frame, registers[k]);
        frame.append(',');
        frame.append(ToHex16(values[k], 4).left(4));
    }
    finishFrame(frame, checksumLength);
    return frame;
}

int ReadReplyThreshold() {
    return 1;
}

int WriteReplyThreshold(int checksumLength) {
    return 11 + checksumLength;
}

int IdentifyReplyThreshold(int checksumLength) {
    return 30 + checksumLength;
}

bool IsAcknowledged(QByteArrayView frame) {
    return frame.contains(QByteArrayView("OK"));
}

bool IsIdentified(QByteArrayView frame) {
    return frame.contains(QByteArrayView("ZR"));
}

std::optional<int> ReplyValue(QByteArrayView frame, int index) {
    const qsizetype offset = 10 + 5 * static_cast<qsizetype>(index);
    if (index < 0 || offset + 4 > frame.size()) {
        return std::nullopt;
    }
    return HexToSigned16(frame.sliced(offset, 4));
}

FrameAssembler::Result FrameAssembler::feed(char byte) {
    if (byte == kSTX) {
        buffer_.clear();
        buffer_.append(byte);
        return Result::NeedMore;
    }
    if (buffer_.size() >= kMaxFrameBytes) {
        // Line noise without frame boundaries: drop it rather than grow without limit.
        buffer_.clear();
    }
    buffer_.append(byte);
    if (byte == kLF) {
        return Result::Complete;
    }
    if (buffer_.size() >= 5 && buffer_[3] == 'N' && buffer_[4] == 'G') {
        return Result::Negative;
    }
    return Result::NeedMore;
}

std::optional<int> ReplyAddress(QByteArrayView frame) {
    if (frame.size() < 3) {
        return std::nullopt;
    }
    const char tens = frame[1];
    const char units = frame[2];
    if (tens < '0' || tens > '9' || units < '0' || units > '9') {
        return std::nullopt;
    }
    return (tens - '0') * 10 + (units - '0');
}

int ReadReplyLength(int count, int checksumLength) {
    return 5 * count + 11 + checksumLength;
}

QByteArray ReadableFrame(QByteArrayView bytes, OtherBytes others) {
    QByteArray out;
    out.reserve(bytes.size() + 16);
    for (char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (c == kSTX) {
            out.append("<STX>");
        } else if (c == kCR) {
            out.append("<CR>");
        } else if (c == kLF) {
            out.append("<LF>");
        } else if (others == OtherBytes::Hex && (u < 0x20 || u >= 0x7F)) {
            static constexpr char kDigits[] = "0123456789ABCDEF";
            out.append('<').append(kDigits[u >> 4]).append(kDigits[u & 0xF]).append('>');
        } else {
            out.append(c);
        }
    }
    return out;
}

}  // namespace zr410
