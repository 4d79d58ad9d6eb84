// Poll harness: opens a serial port, runs the poll cycle against whatever answers on it (the
// simulator, or real controllers) for a number of seconds, and prints per-device figures next
// to the physical line time of one status poll.
//
//   poll_harness --port /tmp/zr410-line --devices 1,2,3 --seconds 30 [--protocol SUM]
//                [--baud 9600] [--format 8E1] [--turnaround-ms 5]

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>
#include <map>
#include <vector>

#include "common/ProgramFolder.h"
#include "engine/SerialLink.h"

using namespace zr410;

namespace {

// Times every event delivery, so the longest handler of the run can be reported.
class TimedApplication : public QCoreApplication {
public:
    using QCoreApplication::QCoreApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        timer_.start();
        const bool result = QCoreApplication::notify(receiver, event);
        const qint64 ns = timer_.nsecsElapsed();
        ++events;
        if (ns > 5'000'000) {
            ++over5ms;
        }
        if (ns > longestNs) {
            longestNs = ns;
        }
        return result;
    }
    qint64 longestNs = 0;
    qint64 events = 0;
    qint64 over5ms = 0;  // wall time, so a busy machine's preemption shows up here too

private:
    QElapsedTimer timer_;
};

struct DeviceFigures {
    int polls = 0;
    int good = 0;
    int timeouts = 0;
    int crc = 0;
    int ng = 0;
    qint64 firstGoodMs = -1;
    qint64 lastGoodMs = -1;
};

std::vector<int> parseDevices(const QString& text) {
    std::vector<int> devices;
    for (const QString& part : text.split(',', Qt::SkipEmptyParts)) {
        const QStringList range = part.split('-');
        const int from = range.value(0).toInt();
        const int to = range.size() > 1 ? range.value(1).toInt() : from;
        for (int d = from; d <= to; ++d) {
            if (d >= 1 && d <= 99) {
                devices.push_back(d);
            }
        }
    }
    return devices;
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    TimedApplication app(argc, argv);
    QCommandLineParser cli;
    cli.addHelpOption();
    cli.addOptions(
        {{"port", "Serial device or link path.", "path"},
         {"devices", "Device numbers, e.g. 1,3,7 or 1-99.", "list", "1"},
         {"seconds", "Run time.", "s", "30"},
         {"protocol", "STD or SUM.", "text", "SUM"},
         {"baud", "Baud rate.", "n", "9600"},
         {"format", "Data bits, parity, stop bits.", "text", "8E1"},
         {"turnaround-ms", "The responder's turnaround, for the comparison.", "ms", "5"}});
    cli.process(app);
    if (!cli.isSet("port")) {
        std::fprintf(stderr, "poll_harness: --port is required\n");
        return 2;
    }

    // The communication log goes to a scratch folder, not beside the harness.
    QTemporaryDir scratch;
    SetProgramFolderOverride(scratch.path());

    SharedState state;
    state.SetDeviceNumbers(parseDevices(cli.value("devices")));
    state.ChecksumLength = cli.value("protocol") == QLatin1String("STD") ? 0 : 2;
    SerialLink link(state);

    const QString format = cli.value("format").leftJustified(3, QLatin1Char('?'));
    LineSettings line;
    line.device = cli.value("port");
    line.baud = cli.value("baud").toInt();
    line.dataBits = format[0] == '7' ? QSerialPort::Data7 : QSerialPort::Data8;
    line.parity = format[1] == 'N'   ? QSerialPort::NoParity
                  : format[1] == 'O' ? QSerialPort::OddParity
                                     : QSerialPort::EvenParity;
    line.stopBits = format[2] == '2' ? QSerialPort::TwoStop : QSerialPort::OneStop;
    const int bitsPerByte =
        1 + (format[0] == '7' ? 7 : 8) + (format[1] == 'N' ? 0 : 1) + (format[2] == '2' ? 2 : 1);

    std::map<int, DeviceFigures> figures;
    QElapsedTimer clock;
    bool scanDone = false;
    qint64 statusStartMs = 0;
    int statusPolls = 0;
    QObject::connect(&link, &SerialLink::indicator, [&](const EngineIndicator& indicator) {
        if (indicator.kind == EngineIndicator::Kind::OnlineControls) {
            if (indicator.on && !scanDone) {
                scanDone = true;
                statusStartMs = clock.elapsed();
            }
            return;
        }
        if (indicator.kind != EngineIndicator::Kind::LinkMark) {
            return;
        }
        DeviceFigures& f = figures[indicator.deviceIndex];
        ++f.polls;
        if (scanDone && link.engine().State() == PollState::Status) {
            ++statusPolls;
        }
        switch (indicator.mark) {
            case LinkMark::Good:
                ++f.good;
                if (f.firstGoodMs < 0) {
                    f.firstGoodMs = clock.elapsed();
                }
                f.lastGoodMs = clock.elapsed();
                break;
            case LinkMark::Over:
                ++f.timeouts;
                break;
            case LinkMark::Crc:
                ++f.crc;
                break;
            case LinkMark::Ng:
                ++f.ng;
                break;
        }
    });
    QObject::connect(&link, &SerialLink::portLost, [](const QString& message) {
        std::fprintf(stderr, "port lost: %s\n", qPrintable(message));
    });

    const SerialLink::OpenResult opened = link.open(line);
    if (!opened.ok()) {
        std::fprintf(stderr, "poll_harness: %s\n", qPrintable(opened.message));
        return 1;
    }
    clock.start();
    const double cpuStart = cpuSeconds();
    app.longestNs = 0;
    app.events = 0;
    app.over5ms = 0;
    QTimer::singleShot(cli.value("seconds").toInt() * 1000, &app, &QCoreApplication::quit);
    app.exec();
    const double cpu = cpuSeconds() - cpuStart;
    const double wallS = clock.elapsed() / 1000.0;
    link.close();

    const int s = state.ChecksumLength;
    const int statusBytes = 5 * 32 + 11 + s;  // request and reply have the same length
    const double lineMs = 2.0 * statusBytes * bitsPerByte * 1000.0 / line.baud;
    const double expectedMs =
        lineMs + SerialLink::kSendIntervalMs + cli.value("turnaround-ms").toDouble();
    const double statusWindowMs = clock.elapsed() - statusStartMs;

    std::printf("port %s, %d devices, %s, %d baud %s, %.1f s\n", qPrintable(line.device),
                state.DeviceCount(), s ? "checksum" : "no checksum", line.baud, qPrintable(format),
                wallS);
    std::printf("%6s %6s %6s %8s %5s %5s %14s\n", "device", "polls", "good", "timeouts", "crc",
                "ng", "revisit ms");
    for (const auto& [index, f] : figures) {
        const double revisit =
            f.good > 1 ? double(f.lastGoodMs - f.firstGoodMs) / (f.good - 1) : 0.0;
        std::printf("%6d %6d %6d %8d %5d %5d %14.1f\n", state.DeviceNumbers[index], f.polls, f.good,
                    f.timeouts, f.crc, f.ng, revisit);
    }
    const double perPollMs = statusPolls > 0 ? statusWindowMs / statusPolls : 0.0;
    std::printf(
        "mean status-poll period: %.1f ms (line time %.1f ms + send interval %d ms + "
        "turnaround %s ms = %.1f ms; ratio %.3f)\n",
        perPollMs, lineMs, SerialLink::kSendIntervalMs, qPrintable(cli.value("turnaround-ms")),
        expectedMs, expectedMs > 0 ? perPollMs / expectedMs : 0.0);
    std::printf("cpu: %.3f s in %.1f s = %.2f %% of one core\n", cpu, wallS, 100.0 * cpu / wallS);
    std::printf("event handlers: %lld, longest %.2f ms, over 5 ms: %lld\n",
                static_cast<long long>(app.events), app.longestNs / 1e6,
                static_cast<long long>(app.over5ms));
    return 0;
}
