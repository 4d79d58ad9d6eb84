#include "engine/PortSettings.h"

#include <gtest/gtest.h>

#include "TempFolder.h"

using namespace zr410;

namespace {

const QByteArray kDefaultsFile("COM1\r\n9600\r\nE\r\n8\r\n1\r\nSUM\r\n");

PortSettings settings(QString port, QString baud, QString parity, QString data, QString stop,
                      QString protocol) {
    PortSettings s;
    s.PortName = port;
    s.BaudText = baud;
    s.ParityText = parity;
    s.DataBitsText = data;
    s.StopBitsText = stop;
    s.ProtocolText = protocol;
    return s;
}

}  // namespace

TEST(CommCfg, MissingFileGivesDefaultsAndWritesThemBackByteForByte) {
    TempProgramFolder folder;
    const PortSettings s = LoadPortSettings(PortSettingsPath());
    EXPECT_EQ(s, settings("COM1", "9600", "E", "8", "1", "SUM"));
    EXPECT_EQ(s.ChecksumLength(), 2);
    EXPECT_EQ(folder.read("Comm.CFG"), kDefaultsFile);
}

TEST(CommCfg, ShortOrEmptyFileIsReplacedByTheDefaults) {
    for (const QByteArray& broken :
         {QByteArray("COM3\r\n4800\r\nN\r\n7\r\n2\r\n"), QByteArray(""), QByteArray("\r\n")}) {
        TempProgramFolder folder;
        folder.write("Comm.CFG", broken);
        EXPECT_EQ(LoadPortSettings(PortSettingsPath()), PortSettings()) << broken.constData();
        EXPECT_EQ(folder.read("Comm.CFG"), kDefaultsFile) << broken.constData();
    }
}

TEST(CommCfg, SixLinesAreTakenWholeWithoutTrimmingAndTheFileIsLeftAlone) {
    TempProgramFolder folder;
    // The last line may lack its CR LF; lines after the sixth are not settings.
    const QByteArray file(" COM3\r\n4800 \r\nN\r\n7\r\n2\r\nSUM \r\nextra\r\n");
    folder.write("Comm.CFG", file);
    EXPECT_EQ(LoadPortSettings(PortSettingsPath()),
              settings(" COM3", "4800 ", "N", "7", "2", "SUM "));
    EXPECT_EQ(folder.read("Comm.CFG"), file);

    folder.write("Comm.CFG", "COM2\r\n9600\r\nE\r\n8\r\n1\r\nSTD");
    EXPECT_EQ(LoadPortSettings(PortSettingsPath()).ProtocolText, "STD");
}

TEST(CommCfg, OnlyExactlyStdDropsTheChecksum) {
    PortSettings s;
    for (const char* withChecksum : {"SUM", "SUM ", "std", "STD ", " STD", ""}) {
        s.ProtocolText = withChecksum;
        EXPECT_EQ(s.ChecksumLength(), 2) << '"' << withChecksum << '"';
    }
    s.ProtocolText = "STD";
    EXPECT_EQ(s.ChecksumLength(), 0);
}

TEST(CommCfg, SavedSettingsAreSixCrLfLinesAndLoadBackUnchanged) {
    TempProgramFolder folder;
    const PortSettings s = settings("COM16", "4800", "N", "7", "2", "STD");
    ASSERT_TRUE(SavePortSettings(PortSettingsPath(), s));
    EXPECT_EQ(folder.read("Comm.CFG"), QByteArray("COM16\r\n4800\r\nN\r\n7\r\n2\r\nSTD\r\n"));
    EXPECT_EQ(LoadPortSettings(PortSettingsPath()), s);
    EXPECT_EQ(s.LineText(), "4800,N,7,2");
}

TEST(CommCfg, TypedDevicePathWithKoreanFolderSurvivesTheRoundTrip) {
    TempProgramFolder folder;
    const PortSettings s = settings("/dev/serial/by-id/usb-변환기", "9600", "E", "8", "1", "SUM");
    ASSERT_TRUE(SavePortSettings(PortSettingsPath(), s));
    EXPECT_EQ(LoadPortSettings(PortSettingsPath()), s);
}

TEST(PortDevice, ComNamesAreTheSerialPortsCountedFromOne) {
    EXPECT_EQ(ResolvePortDevice("COM1"), "/dev/ttyS0");
    EXPECT_EQ(ResolvePortDevice("COM12"), "/dev/ttyS11");
    EXPECT_EQ(ResolvePortDevice("COM16"), "/dev/ttyS15");
    EXPECT_EQ(ResolvePortDevice("COM17"), "/dev/ttyS16");
    EXPECT_EQ(ResolvePortDevice("com3"), "/dev/ttyS2");
    EXPECT_EQ(ResolvePortDevice("COM4 "), "/dev/ttyS3") << "a blank left in Comm.CFG";
}

TEST(PortDevice, AnythingElseIsADevicePathAsTyped) {
    for (const char* typed :
         {"/dev/ttyUSB0", "/dev/pts/7", "COM0", "COM", "COM3x", "COM-1", "", "ttyUSB0"}) {
        EXPECT_EQ(ResolvePortDevice(typed), typed);
    }
}

TEST(LineSettingsFromTexts, OfferedAndTypedValuesMapToTheirLineSettings) {
    const LineSettings line = ToLineSettings(settings("COM2", "4800", "O", "7", "2", "STD"));
    EXPECT_EQ(line.device, "/dev/ttyS1");
    EXPECT_EQ(line.baud, 4800);
    EXPECT_EQ(line.parity, QSerialPort::OddParity);
    EXPECT_EQ(line.dataBits, QSerialPort::Data7);
    EXPECT_EQ(line.stopBits, QSerialPort::TwoStop);

    const LineSettings typed =
        ToLineSettings(settings("/dev/ttyUSB0", "19200", "n", "5", "1.5", ""));
    EXPECT_EQ(typed.device, "/dev/ttyUSB0");
    EXPECT_EQ(typed.baud, 19200);
    EXPECT_EQ(typed.parity, QSerialPort::NoParity);
    EXPECT_EQ(typed.dataBits, QSerialPort::Data5);
    EXPECT_EQ(typed.stopBits, QSerialPort::OneAndHalfStop);
    EXPECT_EQ(ToLineSettings(settings("COM1", " 2400", "M", "6", "1", "")).baud, 2400);
    EXPECT_EQ(ToLineSettings(settings("COM1", "", "M", "6", "1", "")).parity,
              QSerialPort::MarkParity);
}

TEST(LineSettingsFromTexts, UnreadableTextsFallBackToTheDefaultLine) {
    for (const PortSettings& s :
         {settings("COM1", "fast", "?", "9", "3", ""), settings("COM1", "-4800", "", "", "", "")}) {
        const LineSettings line = ToLineSettings(s);
        EXPECT_EQ(line.baud, 9600);
        EXPECT_EQ(line.parity, QSerialPort::EvenParity);
        EXPECT_EQ(line.dataBits, QSerialPort::Data8);
        EXPECT_EQ(line.stopBits, QSerialPort::OneStop);
    }
}

TEST(LineTime, RequestsTakeTheirBitsAtTheLineSpeed) {
    LineSettings line;                      // 9600 8E1: 11 bits a byte
    EXPECT_EQ(LineTimeMs(line, 174), 200);  // a status read and its NUL, rounded up
    line.parity = QSerialPort::NoParity;
    line.baud = 115200;
    EXPECT_EQ(LineTimeMs(line, 174), 16);
    line.baud = 0;  // a broken setting never divides by zero
    EXPECT_GT(LineTimeMs(line, 1), 0);
}
