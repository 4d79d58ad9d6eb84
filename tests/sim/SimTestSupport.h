#pragma once

#include <QByteArray>

#include <string>

#include "sim/SimBus.h"

// Hand-made request frames for the simulator tests: body is everything between STX and the
// checksum; the checksum is added when sum is true (computed here, not by the codec).
inline QByteArray RequestFrame(const char* body, bool sum = true) {
    QByteArray frame("\x02");
    frame.append(body);
    if (sum) {
        unsigned total = 0;
        for (const char* p = body; *p != '\0'; ++p) {
            total += static_cast<unsigned char>(*p);
        }
        frame.append(QByteArray::number(total % 256, 16).toUpper().rightJustified(2, '0'));
    }
    frame.append("\r\n");
    return frame;
}

// Frames as readable text in failure messages: <STX>01WHO4F<CR><LF>.
inline std::string Text(const QByteArray& bytes) {
    return zr410::sim::Readable(bytes);
}
