// What publishing costs a line: 99 controllers on zr410-sim polled at full rate, first without
// and then with the publisher, against Debian's mosquitto; then the broker killed and started
// again every few seconds. Prints the added CPU, the delivery time from a decoded reply to a
// subscriber (median and 95th percentile), and resident memory over the flapping run.
//
//   mqtt_bench [--seconds 30] [--flap-seconds 60] [--baud 115200]
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "Broker.h"
#include "SimProcess.h"
#include "common/ProgramFolder.h"
#include "publish/LineService.h"

using namespace zr410;

namespace {

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long RssKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').value(0).toLong();
        }
    }
    return -1;
}

// Runs the event loop for ms milliseconds, sleeping while there is nothing to do.
void Pump(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The identification scan of 99 controllers takes about half a minute (each reply is gathered
// for 200 ms); the measured phases start once it is over.
void AwaitScan(LineService& service) {
    QElapsedTimer t;
    t.start();
    auto found = [&] {
        const auto& c = service.State().DeviceConnected;
        return std::count(c.begin(), c.end(), true);
    };
    while (found() < service.State().DeviceCount() && t.elapsed() < 90000) {
        Pump(200);
    }
}

struct Phase {
    double cpuPercent = 0;
    int replies = 0;
};

Phase RunLine(LineService& service, int seconds) {
    int replies = 0;
    QObject::connect(&service.Decoders(), &DeviceDecoders::statusComplete, [&](int) { ++replies; });
    AwaitScan(service);
    replies = 0;
    const double cpu0 = CpuSeconds();
    QElapsedTimer wall;
    wall.start();
    Pump(seconds * 1000);
    const double cpu = CpuSeconds() - cpu0;
    return {100.0 * cpu / (wall.elapsed() / 1000.0), replies};
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        f.write(bytes);
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // each figure as soon as it is known
    QCommandLineParser cli;
    cli.addHelpOption();
    cli.addOptions({{"seconds", "Length of each measured phase.", "s", "30"},
                    {"flap-seconds", "Length of the flapping-broker run.", "s", "60"},
                    {"baud", "Baud rate of the line.", "n", "115200"}});
    cli.process(app);
    const int seconds = cli.value("seconds").toInt();
    const int flapSeconds = cli.value("flap-seconds").toInt();
    if (Broker::program().isEmpty()) {
        std::fprintf(stderr, "mqtt_bench: mosquitto is not installed\n");
        return 1;
    }

    SimProcess sim({"--devices", "1-99", "--protocol", "SUM", "--baud", cli.value("baud")});
    if (!sim.isReady()) {
        std::fprintf(stderr, "mqtt_bench: %s\n", qPrintable(sim.errorText()));
        return 1;
    }
    Broker broker;
    if (!broker.start()) {
        std::fprintf(stderr, "mqtt_bench: mosquitto did not start\n");
        return 1;
    }
    QTemporaryDir folder;
    SetProgramFolderOverride(folder.path());
    QDir().mkpath(folder.filePath("CFG"));
    WriteFile(folder.filePath("Comm.CFG"), sim.linkPath().toUtf8() + "\r\n" +
                                               cli.value("baud").toUtf8() +
                                               "\r\nE\r\n8\r\n1\r\nSUM\r\n");
    QByteArray selection;
    for (int k = 1; k <= 99; ++k) {
        selection += "O\t\r\n";
    }
    WriteFile(folder.filePath("CFG/SetMulti.INI"), selection);
    const QByteArray mqtt = "Host=127.0.0.1\r\nPort=" + QByteArray::number(broker.port()) +
                            "\r\nLineName=B\r\nQos=1\r\n";

    std::printf("mqtt_bench: 99 controllers at %s baud, %d s per phase\n",
                qPrintable(cli.value("baud")), seconds);
    WriteFile(folder.filePath("CFG/MQTT.INI"), "Enabled=No\r\n" + mqtt);
    Phase off;
    {
        LineService service;
        service.start();
        off = RunLine(service, seconds);
        service.stop();
    }

    // The subscriber is another process, so its work is not counted as ours; it stamps each
    // message when it arrives.
    QProcess subscriber;
    subscriber.setStandardOutputFile(folder.filePath("received.txt"));
    subscriber.start(QStringLiteral("mosquitto_sub"),
                     {"-h", "127.0.0.1", "-p", QString::number(broker.port()), "-t",
                      "zr410/B/+/state", "-F", "%U %p"});
    subscriber.waitForStarted(3000);
    WriteFile(folder.filePath("CFG/MQTT.INI"), "Enabled=Yes\r\n" + mqtt);
    Phase on;
    std::vector<double> latencies;
    qint64 published = 0;
    {
        LineService service;
        service.start();
        on = RunLine(service, seconds);
        published = service.Publisher().publishedCount();
        service.stop();
    }
    subscriber.terminate();
    subscriber.waitForFinished(3000);
    QFile received(folder.filePath("received.txt"));
    if (received.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : received.readAll().split('\n')) {
            const qsizetype space = line.indexOf(' ');
            if (space <= 0) {
                continue;
            }
            const double at = line.left(space).toDouble();
            const QJsonObject doc = QJsonDocument::fromJson(line.mid(space + 1)).object();
            const QDateTime decoded =
                QDateTime::fromString(doc.value("time").toString(), Qt::ISODateWithMs);
            if (decoded.isValid()) {
                latencies.push_back(at * 1000.0 - static_cast<double>(decoded.toMSecsSinceEpoch()));
            }
        }
    }
    std::sort(latencies.begin(), latencies.end());
    auto percentile = [&](double p) {
        return latencies.empty() ? -1.0
                                 : latencies[std::min(latencies.size() - 1,
                                                      static_cast<size_t>(p * latencies.size()))];
    };
    std::printf("publisher off: %d status replies, CPU %.2f %% of a core\n", off.replies,
                off.cpuPercent);
    std::printf("publisher on:  %d status replies, CPU %.2f %% of a core, %lld published\n",
                on.replies, on.cpuPercent, static_cast<long long>(published));
    std::printf("added CPU: %.2f %% of a core\n", on.cpuPercent - off.cpuPercent);
    std::printf(
        "delivery, reply decoded to subscriber: %zu messages, median %.1f ms, 95 %% %.1f ms, "
        "max %.1f ms\n",
        latencies.size(), percentile(0.5), percentile(0.95),
        latencies.empty() ? -1.0 : latencies.back());

    // The broker killed and started again every 5 s: the line keeps polling, memory stays flat.
    {
        LineService service;
        service.start();
        AwaitScan(service);
        const long rssStart = RssKiB();
        long rssMiddle = rssStart;
        QElapsedTimer t;
        t.start();
        int flaps = 0;
        int replies = 0;
        QObject::connect(&service.Decoders(), &DeviceDecoders::statusComplete,
                         [&](int) { ++replies; });
        while (t.elapsed() < flapSeconds * 1000) {
            broker.stop();
            Pump(2500);
            broker.start();
            Pump(2500);
            ++flaps;
            if (rssMiddle == rssStart && t.elapsed() >= flapSeconds * 500) {
                rssMiddle = RssKiB();
            }
        }
        const long rssEnd = RssKiB();
        std::printf(
            "flapping broker: %d restarts in %d s, %d status replies (%.1f per s), "
            "%lld published, %lld dropped while away\n",
            flaps, flapSeconds, replies, replies / (t.elapsed() / 1000.0),
            static_cast<long long>(service.Publisher().publishedCount()),
            static_cast<long long>(service.Publisher().droppedCount()));
        std::printf("resident memory: start %ld KiB, middle %ld KiB, end %ld KiB\n", rssStart,
                    rssMiddle, rssEnd);
        service.stop();
    }
    SetProgramFolderOverride(QString());
    return 0;
}
