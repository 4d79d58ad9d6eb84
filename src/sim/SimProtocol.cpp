#include "sim/SimProtocol.h"

#include "protocol/FrameCodec.h"

namespace zr410::sim {
namespace {

bool isDecimal(char c) {
    return c >= '0' && c <= '9';
}

bool isUpperHex(char c) {
    return isDecimal(c) || (c >= 'A' && c <= 'F');
}

// A field of exactly `width` decimal digits.
std::optional<int> decimalField(QByteArrayView text, int width) {
    if (text.size() != width) {
        return std::nullopt;
    }
    int value = 0;
    for (char c : text) {
        if (!isDecimal(c)) {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

// A register word: exactly four upper-case hexadecimal digits.
std::optional<int> wordField(QByteArrayView text) {
    if (text.size() != 4) {
        return std::nullopt;
    }
    for (char c : text) {
        if (!isUpperHex(c)) {
            return std::nullopt;
        }
    }
    return HexToSigned16(text);
}

std::vector<QByteArrayView> splitFields(QByteArrayView text) {
    std::vector<QByteArrayView> fields;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == ',') {
            fields.push_back(text.sliced(start, i - start));
            start = i + 1;
        }
    }
    return fields;
}

ParsedFrame malformed(ParsedFrame parsed, std::string problem) {
    parsed.status = ParsedFrame::Status::Malformed;
    parsed.problem = std::move(problem);
    return parsed;
}

// Body after the command letters: ",nn" and then n entries of `perEntry` fields each.
ParsedFrame parseEntries(ParsedFrame parsed, QByteArrayView rest, int perEntry) {
    if (rest.isEmpty() || rest.front() != ',') {
        return malformed(std::move(parsed), "missing count");
    }
    const std::vector<QByteArrayView> fields = splitFields(rest.sliced(1));
    const std::optional<int> count = decimalField(fields.front(), 2);
    if (!count || *count < 1) {
        return malformed(std::move(parsed), "count is not 01..99");
    }
    if (fields.size() - 1 != static_cast<size_t>(*count * perEntry)) {
        return malformed(std::move(parsed), "count does not match the entries");
    }
    for (size_t i = 1; i < fields.size(); i += perEntry) {
        const std::optional<int> reg = decimalField(fields[i], 4);
        if (!reg) {
            return malformed(std::move(parsed), "register is not 4 decimal digits");
        }
        if (perEntry == 1) {
            parsed.request.registers.push_back(*reg);
            continue;
        }
        const std::optional<int> value = wordField(fields[i + 1]);
        if (!value) {
            return malformed(std::move(parsed), "value is not 4 upper-case hex digits");
        }
        parsed.request.writes.push_back({*reg, *value});
    }
    parsed.status = ParsedFrame::Status::Valid;
    return parsed;
}

QByteArray replyHead(int device, QByteArrayView text, int checksumLength, qsizetype bodySize) {
    QByteArray frame;
    frame.reserve(1 + 2 + bodySize + checksumLength + 2);
    frame.append(kSTX);
    frame.append(static_cast<char>('0' + device / 10 % 10));
    frame.append(static_cast<char>('0' + device % 10));
    frame.append(text);
    return frame;
}

QByteArray finishReply(QByteArray frame, int checksumLength) {
    if (checksumLength > 0) {
        frame.append("00");
    }
    frame.append(kCR);
    frame.append(kLF);
    if (checksumLength > 0) {
        FillChecksum(frame);
    }
    return frame;
}

}  // namespace

ParsedFrame ParseRequest(QByteArrayView frame, int checksumLength) {
    ParsedFrame parsed;
    if (frame.size() < 3 || frame[0] != kSTX || !isDecimal(frame[1]) || !isDecimal(frame[2])) {
        parsed.problem = "no device number";
        return parsed;
    }
    parsed.device = (frame[1] - '0') * 10 + (frame[2] - '0');
    if (frame.size() >= 6) {
        const QByteArrayView command = frame.sliced(3, 3);
        if (command == "WHO" || command == "DRR" || command == "DWR") {
            parsed.command = command.toByteArray();
        }
    }
    const qsizetype size = frame.size();
    if (size < 5 || frame[size - 2] != kCR || frame[size - 1] != kLF) {
        return malformed(std::move(parsed), "frame does not end in CR LF");
    }
    // Body: from the command letters up to the checksum.
    const qsizetype bodySize = size - 3 - checksumLength - 2;
    if (bodySize < 3) {
        return malformed(std::move(parsed), "frame too short");
    }
    if (checksumLength > 0) {
        if (!isUpperHex(frame[size - 4]) || !isUpperHex(frame[size - 3])) {
            return malformed(std::move(parsed), "checksum is not two hex digits");
        }
        if (!VerifyChecksum(frame)) {
            return malformed(std::move(parsed), "checksum mismatch");
        }
    }
    const QByteArrayView body = frame.sliced(3, bodySize);
    const QByteArrayView command = body.first(3);
    const QByteArrayView rest = body.sliced(3);
    if (command == "WHO") {
        if (!rest.isEmpty()) {
            return malformed(std::move(parsed), "identification carries extra bytes");
        }
        parsed.request.kind = RequestKind::Identify;
        parsed.status = ParsedFrame::Status::Valid;
        return parsed;
    }
    if (command == "DRR") {
        parsed.request.kind = RequestKind::Read;
        return parseEntries(std::move(parsed), rest, 1);
    }
    if (command == "DWR") {
        parsed.request.kind = RequestKind::Write;
        return parseEntries(std::move(parsed), rest, 2);
    }
    return malformed(std::move(parsed), "unknown command");
}

QByteArray BuildReadReply(int device, std::span<const int> values, int checksumLength) {
    QByteArray frame =
        replyHead(device, "DRR,OK", checksumLength, 6 + 5 * static_cast<qsizetype>(values.size()));
    for (int value : values) {
        frame.append(',');
        frame.append(ToHex16(ToSigned16(value), 4));
    }
    return finishReply(std::move(frame), checksumLength);
}

QByteArray BuildWriteAck(int device, int checksumLength) {
    return finishReply(replyHead(device, "DWR,OK", checksumLength, 6), checksumLength);
}

QByteArray BuildIdentifyReply(int device, int checksumLength) {
    // 25 bytes between the device number and CR LF make the fixed 30-byte reply.
    static constexpr char kText[] = "WHO,OK,ZR410,SIM,VER,0100";
    static_assert(sizeof(kText) - 1 == 25);
    return finishReply(replyHead(device, kText, checksumLength, 25), checksumLength);
}

QByteArray BuildNegativeReply(int device, QByteArrayView command, int checksumLength) {
    QByteArray text = "NG,";
    text.append(command.size() == 3 ? command : QByteArrayView("???"));
    return finishReply(replyHead(device, text, checksumLength, 6), checksumLength);
}

std::optional<RequestAssembler::Frame> RequestAssembler::feed(char byte, TimePoint now) {
    if (byte == kSTX) {
        buffer_.clear();
        buffer_.append(byte);
        started_ = now;
        return std::nullopt;
    }
    if (buffer_.isEmpty()) {
        return std::nullopt;
    }
    buffer_.append(byte);
    if (byte == kLF) {
        Frame frame{std::move(buffer_), started_};
        buffer_.clear();
        return frame;
    }
    if (buffer_.size() > kMaxFrameBytes) {
        buffer_.clear();
    }
    return std::nullopt;
}

}  // namespace zr410::sim
