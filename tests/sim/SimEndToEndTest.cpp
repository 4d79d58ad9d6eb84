#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include "SimProcess.h"
#include "SimTestSupport.h"
#include "protocol/FrameCodec.h"
#include "protocol/RegisterMap.h"

using namespace zr410;
using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

namespace {

// The master's end of the line: a raw file descriptor on the simulator's link.
class LinePort {
public:
    explicit LinePort(const QString& path) {
        fd_ = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        termios tio{};
        if (fd_ >= 0 && ::tcgetattr(fd_, &tio) == 0) {
            ::cfmakeraw(&tio);
            ::tcsetattr(fd_, TCSANOW, &tio);
        }
    }
    ~LinePort() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    LinePort(const LinePort&) = delete;
    LinePort& operator=(const LinePort&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }

    // Sends a request followed by the 0x00 byte the master always adds.
    void send(const QByteArray& frame) {
        const QByteArray bytes = frame + QByteArray(1, '\0');
        sentAt_ = SteadyClock::now();
        ASSERT_EQ(::write(fd_, bytes.constData(), static_cast<size_t>(bytes.size())), bytes.size());
    }

    struct Reply {
        QByteArray bytes;
        SteadyClock::duration firstByte{};  // after the request was sent
        SteadyClock::duration lastByte{};
    };

    // Everything up to and including the next LF, or what came before the time-out.
    Reply receive(std::chrono::milliseconds timeout = 2s) {
        Reply reply;
        const auto deadline = SteadyClock::now() + timeout;
        while (!reply.bytes.endsWith('\n')) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - SteadyClock::now());
            pollfd p{fd_, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) {
                break;
            }
            char buffer[512];
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            if (n <= 0) {
                break;
            }
            const auto at = SteadyClock::now() - sentAt_;
            if (reply.bytes.isEmpty()) {
                reply.firstByte = at;
            }
            reply.lastByte = at;
            reply.bytes.append(buffer, n);
        }
        return reply;
    }

    QByteArray exchange(const QByteArray& frame) {
        send(frame);
        return receive().bytes;
    }

private:
    int fd_ = -1;
    SteadyClock::time_point sentAt_;
};

double ms(SteadyClock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

}  // namespace

TEST(SimEndToEnd, AnswersOverThePseudoTerminalByteForByte) {
    SimProcess sim({"--devices", "1,3,7"});
    ASSERT_TRUE(sim.isReady()) << sim.errorText().toStdString();
    EXPECT_EQ(sim.readyLine(), "zr410-sim: serving devices 1,3,7 on " + sim.linkPath().toUtf8());
    LinePort port(sim.linkPath());
    ASSERT_TRUE(port.isOpen());

    EXPECT_EQ(Text(port.exchange(BuildIdentifyFrame(7, 2))),
              "<STX>07WHO,OK,ZR410,SIM,VER,0100A3<CR><LF>");
    EXPECT_EQ(Text(port.exchange(RequestFrame("01DRR,02,0507,0506"))),
              "<STX>01DRR,OK,0000,0001E8<CR><LF>");
    EXPECT_EQ(Text(port.exchange(RequestFrame("01DWR,01,0115,012C"))), "<STX>01DWR,OK14<CR><LF>");
    EXPECT_EQ(Text(port.exchange(RequestFrame("01DRR,01,0115"))), "<STX>01DRR,OK,012C11<CR><LF>");
    EXPECT_EQ(Text(port.exchange(RequestFrame("03DRR,02,0115"))), "<STX>03NG,DRR0C<CR><LF>");

    // Line noise before a request is ignored.
    port.send(QByteArray("\xFF\x00~~\r\n", 6) + RequestFrame("03WHO"));
    EXPECT_EQ(Text(port.receive().bytes), "<STX>03WHO,OK,ZR410,SIM,VER,01009F<CR><LF>");
}

TEST(SimEndToEnd, OtherDeviceNumbersGetNoAnswerAtAll) {
    SimProcess sim({"--devices", "1", "--protocol", "STD"});
    ASSERT_TRUE(sim.isReady()) << sim.errorText().toStdString();
    LinePort port(sim.linkPath());
    for (int device : {0, 2, 10}) {
        port.send(BuildIdentifyFrame(device, 0));
        EXPECT_TRUE(port.receive(250ms).bytes.isEmpty()) << device;
    }
    EXPECT_EQ(Text(port.exchange(BuildIdentifyFrame(1, 0))),
              "<STX>01WHO,OK,ZR410,SIM,VER,0100<CR><LF>");
    EXPECT_EQ(sim.commandBlock("stats").mid(0, 4),
              (QStringList{"requests 4", "replies 1", "ng 0", "silent 3"}));
}

TEST(SimEndToEnd, RepliesArePacedAtLineSpeed) {
    SimProcess sim({"--devices", "1", "--baud", "9600", "--format", "8E1"});
    ASSERT_TRUE(sim.isReady()) << sim.errorText().toStdString();
    LinePort port(sim.linkPath());
    port.send(*BuildReadFrame(1, kStatusList, 2));  // 173 bytes out, 173 bytes back
    const LinePort::Reply reply = port.receive();
    ASSERT_EQ(reply.bytes.size(), 173);
    EXPECT_TRUE(VerifyChecksum(reply.bytes));
    // On the line: 198 ms for the request, 5 ms turnaround, 198 ms for the reply.
    EXPECT_GT(ms(reply.firstByte), 150.0);
    EXPECT_GT(ms(reply.lastByte - reply.firstByte), 150.0);
    EXPECT_LT(ms(reply.lastByte), 1000.0);
    std::printf("9600 8E1, 32 registers: first byte after %.1f ms, reply took %.1f ms\n",
                ms(reply.firstByte), ms(reply.lastByte - reply.firstByte));
}

TEST(SimEndToEnd, FasterLineGivesFasterReplies) {
    SimProcess sim({"--devices", "1", "--baud", "115200"});
    ASSERT_TRUE(sim.isReady()) << sim.errorText().toStdString();
    LinePort port(sim.linkPath());
    port.send(*BuildReadFrame(1, kStatusList, 2));
    const LinePort::Reply reply = port.receive();
    ASSERT_EQ(reply.bytes.size(), 173);
    EXPECT_GT(ms(reply.lastByte), 25.0);   // 2 x 173 bytes at 95 us
    EXPECT_LT(ms(reply.lastByte), 250.0);  // 9600 baud would take 400 ms
}

TEST(SimEndToEnd, SlowDeviceAnswersLaterAndARequestOverItsReplyIsCounted) {
    SimProcess sim({"--devices", "1,7", "--baud", "115200", "--turnaround", "7:400"});
    ASSERT_TRUE(sim.isReady()) << sim.errorText().toStdString();
    LinePort port(sim.linkPath());
    port.send(BuildIdentifyFrame(7, 2));
    const LinePort::Reply slow = port.receive();
    EXPECT_TRUE(IsIdentified(slow.bytes));
    EXPECT_GT(ms(slow.firstByte), 390.0);
    port.send(BuildIdentifyFrame(1, 2));
    EXPECT_LT(ms(port.receive().firstByte), 300.0);
    EXPECT_TRUE(sim.commandBlock("stats").contains("overlaps 0"));

    // A master that does not wait: the second request goes out while 7's reply is due.
    port.send(BuildIdentifyFrame(7, 2));
    port.send(BuildIdentifyFrame(1, 2));
    port.receive();
    port.receive();
    EXPECT_TRUE(sim.commandBlock("stats").contains("overlaps 1"))
        << sim.commandBlock("stats").join(' ').toStdString();
}

TEST(SimEndToEnd, PortCanBeClosedAndOpenedAgain) {
    SimProcess sim({"--devices", "5"});
    ASSERT_TRUE(sim.isReady()) << sim.errorText().toStdString();
    for (int round = 0; round < 3; ++round) {
        {
            LinePort port(sim.linkPath());
            ASSERT_TRUE(port.isOpen());
            EXPECT_TRUE(IsIdentified(port.exchange(BuildIdentifyFrame(5, 2)))) << round;
        }
        // The simulator clears the line when it sees a client leave; under load it can see
        // that after the next client's request, which it would then drop. One round trip on
        // the control socket orders the two, as a real close and reopen take milliseconds.
        ASSERT_EQ(sim.command("devices"), "5");
    }
}

TEST(SimEndToEnd, LineIsFreshAgainAfterAClientLeftItsSettingsBehind) {
    // The reply is due long after the client has gone, so it is certainly still queued when
    // the simulator sees the close; a reply kept for the next client would come before that
    // client's own reply, whatever the machine's load.
    SimProcess sim({"--devices", "1", "--turnaround", "3000"});
    ASSERT_TRUE(sim.isReady()) << sim.errorText().toStdString();
    {
        // A client that dies keeps no chance to restore the settings: here the 8E1 settings
        // Qt makes, and a status read whose reply is still on its way when the client goes.
        LinePort port(sim.linkPath());
        termios tio{};
        ASSERT_EQ(::tcgetattr(port.fd(), &tio), 0);
        tio.c_iflag = IGNPAR;
        tio.c_cflag = CS8 | CREAD | CLOCAL | PARENB;
        ::cfsetspeed(&tio, B9600);
        ASSERT_EQ(::tcsetattr(port.fd(), TCSANOW, &tio), 0);
        port.send(*BuildReadFrame(1, kStatusList, 2));
        // Bytes written to a pseudo-terminal reach the simulator's side through a kernel work
        // queue, which under load can run after the close is seen; wait until the simulator
        // has the request, so its reply is truly queued for the client that leaves.
        QElapsedTimer heard;
        heard.start();
        while (!sim.commandBlock("requests").contains("DRR 1") && heard.elapsed() < 3000) {
            QThread::msleep(10);
        }
        ASSERT_TRUE(sim.commandBlock("requests").contains("DRR 1"));
    }
    // The simulator sees the close before it serves this command: one round trip suffices.
    ASSERT_EQ(sim.command("devices"), "1");

    QSerialPort serial(sim.linkPath());
    serial.setBaudRate(QSerialPort::Baud9600);
    serial.setParity(QSerialPort::EvenParity);
    serial.setDataBits(QSerialPort::Data8);
    serial.setStopBits(QSerialPort::OneStop);
    ASSERT_TRUE(serial.open(QIODevice::ReadWrite)) << serial.errorString().toStdString();

    serial.write(BuildIdentifyFrame(1, 2) + QByteArray(1, '\0'));
    QByteArray reply;
    while (!reply.endsWith('\n') && serial.waitForReadyRead(6000)) {
        reply += serial.readAll();
    }
    EXPECT_EQ(Text(reply), "<STX>01WHO,OK,ZR410,SIM,VER,01009D<CR><LF>");
}

TEST(SimEndToEnd, ControlChannelSeesAndSteersTheLine) {
    SimProcess sim({"--devices", "1,2"});
    ASSERT_TRUE(sim.isReady()) << sim.errorText().toStdString();
    LinePort port(sim.linkPath());

    EXPECT_TRUE(IsAcknowledged(port.exchange(RequestFrame("01DWR,01,0102,0001"))));
    EXPECT_TRUE(IsAcknowledged(port.exchange(RequestFrame("02DWR,01,0115,FFFF"))));
    EXPECT_EQ(sim.writes(), (QStringList{"1 102 1", "2 115 -1"}));
    EXPECT_EQ(sim.getRegister(1, kRegStatusWord), (1 << kBitRun) | (1 << kBitPower));
    EXPECT_TRUE(sim.clearWrites());
    EXPECT_TRUE(sim.writes().isEmpty());

    ASSERT_TRUE(sim.setRegister(2, kRegMoldTemp, 853));
    const QByteArray reply = port.exchange(RequestFrame("02DRR,01,0001"));
    EXPECT_EQ(ReplyValue(reply, 0), 853);

    ASSERT_TRUE(sim.setFault("ng", 1));
    EXPECT_EQ(port.exchange(RequestFrame("02DWR,01,0115,0001")).mid(3, 2), "NG");
    EXPECT_TRUE(sim.writes().isEmpty());
    ASSERT_TRUE(sim.setFault("ng", 0));
    ASSERT_TRUE(sim.setFault("timeout", 1));
    port.send(RequestFrame("02WHO"));
    EXPECT_TRUE(port.receive(300ms).bytes.isEmpty());

    EXPECT_EQ(sim.commandBlock("requests"), (QStringList{"WHO 1", "DRR 1", "DWR 3", "invalid 0"}));
    EXPECT_TRUE(sim.command("frobnicate").startsWith("error"));
    EXPECT_EQ(sim.getRegister(9, 1), std::nullopt);
}

TEST(SimEndToEnd, LateRepliesMissTheMastersReplyLimit) {
    SimProcess sim({"--devices", "1", "--fault-late", "1"});
    ASSERT_TRUE(sim.isReady()) << sim.errorText().toStdString();
    LinePort port(sim.linkPath());
    port.send(BuildIdentifyFrame(1, 2));
    const LinePort::Reply reply = port.receive(2s);
    EXPECT_TRUE(IsIdentified(reply.bytes));
    EXPECT_GT(ms(reply.firstByte), 600.0);
}

TEST(SimEndToEnd, StopsCleanlyAndTidiesUp) {
    SimProcess sim;
    ASSERT_TRUE(sim.isReady()) << sim.errorText().toStdString();
    EXPECT_TRUE(QFileInfo(sim.linkPath()).isSymLink());
    EXPECT_TRUE(QFileInfo::exists(sim.controlPath()));
    EXPECT_TRUE(sim.stop());
    EXPECT_FALSE(QFileInfo(sim.linkPath()).isSymLink());
    EXPECT_FALSE(QFileInfo::exists(sim.controlPath()));

    SimProcess quitting;
    ASSERT_TRUE(quitting.isReady());
    EXPECT_EQ(quitting.command("quit"), "ok");
    EXPECT_TRUE(quitting.stop());
    EXPECT_FALSE(QFileInfo(quitting.linkPath()).isSymLink());
}

TEST(SimEndToEnd, StaleLinkIsReplacedButOtherFilesAreNot) {
    QTemporaryDir dir;
    const QString line = dir.filePath("shared-line");
    SimProcess sim({"--link", line}, SimProcess::Start::Later);
    ASSERT_EQ(sim.linkPath(), line);
    ASSERT_EQ(::symlink("/nonexistent/pts", line.toLocal8Bit().constData()), 0);
    ASSERT_TRUE(sim.start()) << sim.errorText().toStdString();
    EXPECT_TRUE(QFileInfo(sim.linkPath()).symLinkTarget().startsWith("/dev/pts/"));
    sim.stop();

    SimProcess blocked({}, SimProcess::Start::Later);
    QFile file(blocked.linkPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_FALSE(blocked.start());
    EXPECT_TRUE(QFileInfo(blocked.linkPath()).isFile());
}

TEST(SimEndToEnd, CommandLineHelpAndMistakes) {
    QProcess help;
    help.start(ZR410_BIN_DIR "/zr410-sim", {"--help"});
    ASSERT_TRUE(help.waitForFinished(3000));
    EXPECT_EQ(help.exitCode(), 0);
    const QByteArray usage = help.readAllStandardOutput();
    for (const char* word :
         {"--link", "--devices", "--fault-late", "--control", "writes", "quit"}) {
        EXPECT_TRUE(usage.contains(word)) << word;
    }

    QProcess wrong;
    wrong.start(ZR410_BIN_DIR "/zr410-sim", {"--link", "/tmp/x", "--devices", "0"});
    ASSERT_TRUE(wrong.waitForFinished(3000));
    EXPECT_EQ(wrong.exitCode(), 2);
    EXPECT_TRUE(wrong.readAllStandardError().contains("--devices"));
}
