// Soak benchmark: zr410-sim serving many controllers with every line fault at a rate, against
// the real serial adapter, poll cycle, decoders, value table and data logger (logging every
// second), for a given time. Prints per device the polls and their outcomes and the data
// records expected against those written whole; every queued write and whether the simulator
// received it; resident memory at start, middle and end; CPU; port losses. Exits non-zero
// when a record was lost or torn, an acknowledged write never arrived, or the simulator died.
//
//   soak_bench --seconds 3600 [--devices 1-99] [--fault-rate 0.05] [--baud 9600]
//              [--write-every 120] [--folder DIR] [--seed 1]

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>
#include <map>
#include <set>
#include <vector>

#include "SimProcess.h"
#include "SoakRecords.h"
#include "common/ProgramFolder.h"
#include "engine/SerialLink.h"
#include "logging/DataLogger.h"
#include "model/Decoders.h"
#include "model/ErrorHistory.h"
#include "model/ValueTable.h"
#include "protocol/RegisterMap.h"
#include "sim/FaultInjector.h"

using namespace zr410;

namespace {

struct DeviceFigures {
    int polls = 0;
    int good = 0;
    int over = 0;
    int crc = 0;
    int ng = 0;
    qint64 expected = 0;  // records the logger was due to write
};

struct QueuedWrite {
    int deviceNo = 0;
    int value = 0;
    double queuedS = 0;
    bool acknowledged = false;  // the cycle went on to read the blocks back
    bool dropped = false;       // lost with the port before it was acknowledged
    bool inFlight() const { return !acknowledged && !dropped; }
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
    QCoreApplication app(argc, argv);
    QCommandLineParser cli;
    cli.addHelpOption();
    cli.addOptions({{"seconds", "Run time.", "s", "120"},
                    {"devices", "Device numbers, e.g. 1-99.", "list", "1-99"},
                    {"fault-rate", "Rate of every line fault.", "r", "0.05"},
                    {"baud", "Baud rate of the line.", "n", "9600"},
                    {"write-every", "Seconds between queued writes.", "s", "120"},
                    {"folder", "Folder for the data files and RecvData.txt.", "path"},
                    {"seed", "Seed of the simulator's faults.", "n", "1"}});
    cli.process(app);
    const int seconds = cli.value("seconds").toInt();
    const std::vector<int> devices = parseDevices(cli.value("devices"));

    QTemporaryDir scratch;
    const QString folder = cli.isSet("folder") ? cli.value("folder") : scratch.path();
    const QString dataFolder = folder + "/data";
    QDir().mkpath(dataFolder);
    SetProgramFolderOverride(folder);  // RecvData.txt goes there

    QStringList simArgs{"--devices", cli.value("devices"), "--protocol", "SUM",
                        "--baud",    cli.value("baud"),    "--seed",     cli.value("seed")};
    for (std::string_view name : sim::kFaultNames) {
        simArgs << QStringLiteral("--fault-%1").arg(QLatin1String(name.data(), name.size()))
                << cli.value("fault-rate");
    }
    SimProcess sim(simArgs);
    if (!sim.isReady()) {
        std::fprintf(stderr, "soak_bench: %s\n", qPrintable(sim.errorText()));
        return 2;
    }
    for (int device : devices) {
        sim.setRunning(device, true);
    }

    SharedState state;
    state.SetDeviceNumbers(devices);
    state.ChecksumLength = 2;
    ValueTable table;
    table.resetRows(state.DeviceNumbers);
    ErrorHistory errors;
    DeviceDecoders decoders(state, table, errors);
    SerialLink link(state);
    link.setDecoders(&decoders);

    // Logging every second: an interval of 0 makes every one-second tick due.
    SaveSettings save;
    save.SaveEnabled = QStringLiteral("Yes");
    save.SaveInterval = 0;
    save.SaveUnit = QStringLiteral("초");
    save.SaveFolder = dataFolder;
    save.SaveFileName = QStringLiteral("ZR410");
    DataLogger logger(state, table);

    std::map<int, DeviceFigures> figures;
    std::vector<QueuedWrite> writes;
    int portLosses = 0;
    int reopens = 0;
    qint64 duePasses = 0;
    bool online = false;  // the scan has ended: an operator's controls are enabled
    QObject::connect(&link, &SerialLink::indicator, [&](const EngineIndicator& indicator) {
        if (indicator.kind == EngineIndicator::Kind::OnlineControls) {
            online = indicator.on;
        }
        if (indicator.kind != EngineIndicator::Kind::LinkMark) {
            return;
        }
        DeviceFigures& f = figures[indicator.deviceIndex];
        ++f.polls;
        ++(indicator.mark == LinkMark::Good   ? f.good
           : indicator.mark == LinkMark::Over ? f.over
           : indicator.mark == LinkMark::Crc  ? f.crc
                                              : f.ng);
    });
    QObject::connect(&link, &SerialLink::portLost, [&](const QString& message) {
        ++portLosses;
        if (!writes.empty() && writes.back().inFlight()) {
            writes.back().dropped = true;
        }
        std::fprintf(stderr, "port lost: %s\n", qPrintable(message));
    });
    QObject::connect(&link, &SerialLink::portReopened, [&] { ++reopens; });

    LineSettings line;
    line.device = sim.linkPath();
    line.baud = cli.value("baud").toInt();
    const SerialLink::OpenResult opened = link.open(line);
    if (!opened.ok()) {
        std::fprintf(stderr, "soak_bench: %s\n", qPrintable(opened.message));
        return 2;
    }
    QElapsedTimer clock;
    clock.start();
    const double cpuStart = cpuSeconds();
    const qint64 rssStart = ResidentKiB();
    qint64 rssMiddle = 0;
    qint64 rssMax = rssStart;

    // The main window's one-second tick: the logging step, and what it was due to write.
    QTimer tick;
    tick.setInterval(1000);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        std::vector<int> qualifying;
        for (int i = 0; i < state.DeviceCount(); ++i) {
            if (link.isOpen() && state.DeviceConnected[i] && state.DeviceRunning[i]) {
                qualifying.push_back(i);
            }
        }
        if (logger.LogDueRecords(save, link.isOpen()).due) {
            ++duePasses;
            for (int i : qualifying) {
                ++figures[i].expected;
            }
        }
        const qint64 rss = ResidentKiB();
        rssMax = std::max(rssMax, rss);
        if (rssMiddle == 0 && clock.elapsed() >= seconds * 500LL) {
            rssMiddle = rss;
        }
    });
    tick.start();

    // An operator's set-value change now and then, each to the next connected controller once
    // the previous one has been acknowledged; as in the main window, only while on line (a
    // request during the identification scan would abandon it).
    int nextWriteIndex = 0;
    QTimer writer;
    writer.setInterval(cli.value("write-every").toInt() * 1000);
    QObject::connect(&writer, &QTimer::timeout, [&] {
        if (!online || (!writes.empty() && writes.back().inFlight())) {
            return;
        }
        for (int k = 0; k < state.DeviceCount(); ++k) {
            const int i = (nextWriteIndex + k) % state.DeviceCount();
            if (state.DeviceConnected[i]) {
                nextWriteIndex = i + 1;
                state.EditDeviceIndex = i;
                state.EditDeviceNo = state.DeviceNumbers[i];
                const int value = 400 + static_cast<int>(writes.size() % 600);
                state.QueueRequest(PollState::WriteOne, {kRegSetValue}, {value});
                writes.push_back({state.EditDeviceNo, value, clock.elapsed() / 1000.0});
                return;
            }
        }
    });
    writer.start();
    QTimer watch;
    watch.setInterval(100);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        // An acknowledged write is followed by the reads of the reservation and parameter
        // blocks, which take several 200 ms gathers: this look cannot miss them.
        const PollState now = link.engine().State();
        if (!writes.empty() && writes.back().inFlight() && state.PendingState == PollState::None &&
            (now == PollState::Reservation || now == PollState::Parameters)) {
            writes.back().acknowledged = true;
        }
    });
    watch.start();

    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    app.exec();
    tick.stop();
    const double cpu = cpuSeconds() - cpuStart;
    const double wallS = clock.elapsed() / 1000.0;
    const qint64 rssEnd = ResidentKiB();
    link.close();

    const QStringList received = sim.writes();
    const QStringList simStats = sim.commandBlock("stats");
    const bool simAlive = sim.stop();

    std::printf("soak: %d controllers, every fault at %s, %s baud, logging every second, %.0f s\n",
                state.DeviceCount(), qPrintable(cli.value("fault-rate")),
                qPrintable(cli.value("baud")), wallS);
    std::printf("%6s %6s %6s %6s %5s %5s %9s %8s %5s\n", "device", "polls", "good", "over", "crc",
                "ng", "expected", "written", "torn");
    RecordTotals totals;
    for (int i = 0; i < state.DeviceCount(); ++i) {
        const DeviceFigures& f = figures[i];
        const int deviceNo = state.DeviceNumbers[i];
        const FileRecords file = CheckDataFile(DataFilePath(dataFolder, "ZR410", deviceNo));
        totals.add(f.expected, file);
        std::printf("%6d %6d %6d %6d %5d %5d %9lld %8lld %5lld\n", deviceNo, f.polls, f.good,
                    f.over, f.crc, f.ng, static_cast<long long>(f.expected),
                    static_cast<long long>(file.whole), static_cast<long long>(file.torn));
    }

    int acknowledgedMissing = 0;
    std::printf("queued writes (register %d):\n", kRegSetValue);
    for (const QueuedWrite& w : writes) {
        const bool arrived = received.contains(
            QStringLiteral("%1 %2 %3").arg(w.deviceNo).arg(kRegSetValue).arg(w.value));
        const char* outcome = arrived          ? "received"
                              : w.dropped      ? "dropped with the lost port, not received"
                              : w.acknowledged ? "acknowledged but NOT RECEIVED"
                                               : "still being repeated at the end";
        acknowledgedMissing += !arrived && w.acknowledged ? 1 : 0;
        std::printf("  at %7.1f s  device %2d  value %4d  %s\n", w.queuedS, w.deviceNo, w.value,
                    outcome);
    }
    const CommLogCheck log = CheckCommLog(folder);
    std::printf(
        "logging passes due: %lld; records expected %lld, written whole %lld, lost %lld, "
        "torn %lld\n",
        static_cast<long long>(duePasses), static_cast<long long>(totals.expected),
        static_cast<long long>(totals.whole), static_cast<long long>(totals.lost()),
        static_cast<long long>(totals.torn));
    std::printf("communication log: %lld lines in %d file(s), %lld bytes, torn lines %lld\n",
                static_cast<long long>(log.lines), log.files, static_cast<long long>(log.bytes),
                static_cast<long long>(log.torn));
    std::printf("writes queued %zu, acknowledged but not received %d\n", writes.size(),
                acknowledgedMissing);
    std::printf("resident memory: start %lld KiB, middle %lld KiB, end %lld KiB, max %lld KiB\n",
                static_cast<long long>(rssStart), static_cast<long long>(rssMiddle),
                static_cast<long long>(rssEnd), static_cast<long long>(rssMax));
    std::printf("cpu: %.1f s in %.0f s = %.2f %% of one core\n", cpu, wallS, 100.0 * cpu / wallS);
    std::printf("port lost %d times, reopened %d times\n", portLosses, reopens);
    std::printf("simulator: %s\n", qPrintable(simStats.join(QStringLiteral("; "))));
    std::printf("simulator crashes: %d\n", simAlive ? 0 : 1);
    const bool sound = simAlive && totals.lost() == 0 && totals.torn == 0 && log.torn == 0 &&
                       acknowledgedMissing == 0;
    return sound ? 0 : 1;
}
