#pragma once

#include <QByteArray>

#include <vector>

#include "protocol/FrameCodec.h"

// Controller replies as the controllers send them, for scripting the poll cycle in tests.
namespace replies {

inline QByteArray finish(QByteArray body, int checksumLength) {
    QByteArray frame = QByteArray(1, zr410::kSTX) + body;
    if (checksumLength > 0) {
        frame.append("00\r\n");
        zr410::FillChecksum(frame);
    } else {
        frame.append("\r\n");
    }
    return frame;
}

inline QByteArray device2(int device) {
    return QByteArray::number(device).rightJustified(2, '0');
}

inline QByteArray read(int device, const std::vector<int>& values, int checksumLength = 2) {
    QByteArray body = device2(device) + "DRR,OK";
    for (int v : values) {
        body += ',' + zr410::ToHex16(v, 4);
    }
    return finish(body, checksumLength);
}

inline QByteArray ack(int device, int checksumLength = 2) {
    return finish(device2(device) + "DWR,OK", checksumLength);
}

// 30 bytes plus the checksum, carrying the model name.
inline QByteArray identify(int device, int checksumLength = 2) {
    const QByteArray body = (device2(device) + "WHO,OK,ZR410-A,V1.00,S").leftJustified(27, '0');
    return finish(body, checksumLength);
}

inline QByteArray negative(int device, int checksumLength = 2) {
    return finish(device2(device) + "NG,DWR", checksumLength);
}

}  // namespace replies
