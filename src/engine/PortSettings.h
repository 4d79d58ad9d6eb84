#pragma once

#include <QSerialPort>
#include <QString>
#include <QStringList>

#include <optional>

namespace zr410 {

// The six serial line settings of Comm.CFG, kept as the texts the operator chose.
struct PortSettings {
    QString PortName = QStringLiteral("COM1");
    QString BaudText = QStringLiteral("9600");
    QString ParityText = QStringLiteral("E");
    QString DataBitsText = QStringLiteral("8");
    QString StopBitsText = QStringLiteral("1");
    QString ProtocolText = QStringLiteral("SUM");

    // "9600,E,8,1" as the status bar shows it.
    QString LineText() const;
    // 0 exactly when ProtocolText is "STD".
    int ChecksumLength() const;
};

bool operator==(const PortSettings& a, const PortSettings& b);

// Path of Comm.CFG in the program folder.
QString PortSettingsPath();

// Reads Comm.CFG: six lines, each whole line a value (not trimmed). A missing, short or
// unreadable file gives the defaults, which are written back at once.
PortSettings LoadPortSettings(const QString& path);
// The settings the lines of Comm.CFG hold; nothing when there are fewer than six.
std::optional<PortSettings> PortSettingsFromLines(const QStringList& lines);
// Six lines, CR LF each. Returns false when the file could not be written.
bool SavePortSettings(const QString& path, const PortSettings& settings);

// What the serial adapter needs to open a port.
struct LineSettings {
    QString device;  // e.g. /dev/ttyS0, /dev/ttyUSB0, or any typed path
    qint32 baud = 9600;
    QSerialPort::Parity parity = QSerialPort::EvenParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
};

// "COMn" (n from 1) is the platform's n-th serial port, /dev/ttyS(n-1); any other text is
// taken as a device path as typed (USB adapters, pseudo-terminals).
QString ResolvePortDevice(const QString& portName);
LineSettings ToLineSettings(const PortSettings& settings);

// Milliseconds the given number of bytes take on the line: start bit, data bits, parity bit
// if any, stop bits, at the line's speed; rounded up.
int LineTimeMs(const LineSettings& line, int bytes);

}  // namespace zr410
