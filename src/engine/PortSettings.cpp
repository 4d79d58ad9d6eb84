#include "engine/PortSettings.h"

#include "common/NumberEntry.h"
#include "common/ProgramFolder.h"
#include "common/SettingsText.h"

#include <algorithm>
#include <limits>

namespace zr410 {
namespace {

constexpr int kSettingLines = 6;

QStringList toLines(const PortSettings& s) {
    return {s.PortName, s.BaudText, s.ParityText, s.DataBitsText, s.StopBitsText, s.ProtocolText};
}

// Port number of a "COMn" text; 0 when the text is not of that form.
int comPortNumber(const QString& portName) {
    if (!portName.startsWith(QLatin1String("COM"), Qt::CaseInsensitive)) {
        return 0;
    }
    const QString digits = portName.mid(3).trimmed();
    for (const QChar c : digits) {
        if (!c.isDigit()) {
            return 0;
        }
    }
    bool ok = false;
    const int n = digits.toInt(&ok);
    return ok ? n : 0;
}

qint32 toBaud(const QString& text) {
    const double value = ParseLeadingNumber(text);
    if (value < 1 || value > std::numeric_limits<qint32>::max()) {
        return 9600;
    }
    return static_cast<qint32>(value);
}

QSerialPort::Parity toParity(const QString& text) {
    const QString p = text.trimmed().toUpper();
    if (p == QLatin1String("N")) {
        return QSerialPort::NoParity;
    }
    if (p == QLatin1String("O")) {
        return QSerialPort::OddParity;
    }
    if (p == QLatin1String("M")) {
        return QSerialPort::MarkParity;
    }
    if (p == QLatin1String("S")) {
        return QSerialPort::SpaceParity;
    }
    return QSerialPort::EvenParity;
}

QSerialPort::DataBits toDataBits(const QString& text) {
    switch (text.trimmed().toInt()) {
        case 5:
            return QSerialPort::Data5;
        case 6:
            return QSerialPort::Data6;
        case 7:
            return QSerialPort::Data7;
        default:
            return QSerialPort::Data8;
    }
}

QSerialPort::StopBits toStopBits(const QString& text) {
    const QString s = text.trimmed();
    if (s == QLatin1String("2")) {
        return QSerialPort::TwoStop;
    }
    if (s == QLatin1String("1.5")) {
        return QSerialPort::OneAndHalfStop;
    }
    return QSerialPort::OneStop;
}

}  // namespace

QString PortSettings::LineText() const {
    return BaudText + QLatin1Char(',') + ParityText + QLatin1Char(',') + DataBitsText +
           QLatin1Char(',') + StopBitsText;
}

int PortSettings::ChecksumLength() const {
    return ProtocolText == QLatin1String("STD") ? 0 : 2;
}

bool operator==(const PortSettings& a, const PortSettings& b) {
    return toLines(a) == toLines(b);
}

QString PortSettingsPath() {
    return InProgramFolder(QStringLiteral("Comm.CFG"));
}

PortSettings LoadPortSettings(const QString& path) {
    const std::optional<QStringList> lines = ReadSettingsLines(path);
    std::optional<PortSettings> loaded = lines ? PortSettingsFromLines(*lines) : std::nullopt;
    if (!loaded) {
        const PortSettings defaults;
        SavePortSettings(path, defaults);
        return defaults;
    }
    return *loaded;
}

std::optional<PortSettings> PortSettingsFromLines(const QStringList& lines) {
    if (lines.size() < kSettingLines) {
        return std::nullopt;
    }
    PortSettings s;
    s.PortName = lines.at(0);
    s.BaudText = lines.at(1);
    s.ParityText = lines.at(2);
    s.DataBitsText = lines.at(3);
    s.StopBitsText = lines.at(4);
    s.ProtocolText = lines.at(5);
    return s;
}

bool SavePortSettings(const QString& path, const PortSettings& settings) {
    return WriteSettingsLines(path, toLines(settings));
}

QString ResolvePortDevice(const QString& portName) {
    const int n = comPortNumber(portName);
    if (n >= 1) {
        return QStringLiteral("/dev/ttyS%1").arg(n - 1);
    }
    return portName;
}

LineSettings ToLineSettings(const PortSettings& settings) {
    LineSettings line;
    line.device = ResolvePortDevice(settings.PortName);
    line.baud = toBaud(settings.BaudText);
    line.parity = toParity(settings.ParityText);
    line.dataBits = toDataBits(settings.DataBitsText);
    line.stopBits = toStopBits(settings.StopBitsText);
    return line;
}

int LineTimeMs(const LineSettings& line, int bytes) {
    const int parity = line.parity == QSerialPort::NoParity ? 0 : 1;
    const int stop = line.stopBits == QSerialPort::OneStop ? 1 : 2;
    const qint64 bits = static_cast<qint64>(bytes) * (1 + line.dataBits + parity + stop);
    const qint64 baud = std::max<qint64>(line.baud, 1);
    return static_cast<int>((bits * 1000 + baud - 1) / baud);
}

}  // namespace zr410
