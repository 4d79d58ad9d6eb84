// Following a growing data file in the viewer window: how long a record written by the logger
// takes to reach the chart, and what the window costs while nothing is written.
//
//   bench_follow [records-in-file] [appended-records] [idle-seconds]
//
// Prints the latency of each appended record (median and worst) and the CPU share of one core
// used while idle. Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTime>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "viewer/ChartView.h"
#include "viewer/DataFileFollower.h"
#include "viewer/frmZR410_GraphView.h"

using namespace zr410;

namespace {

QByteArray record(int i) {
    const QTime t = QTime(0, 0).addSecs(i % 86400);
    return QStringLiteral("2024-05-17\t%1\t%2\t80.1\t78.9\t25.0\t1.25\t85.0\r\n")
        .arg(t.toString(QStringLiteral("HH:mm:ss")))
        .arg(60.0 + (i % 200) / 10.0, 0, 'f', 1)
        .toLatin1();
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Runs the event loop until `done` (looked at every 2 ms) or the time is up.
template <typename Done>
bool spinUntil(Done done, int ms) {
    QEventLoop loop;
    QTimer look;
    look.setInterval(2);
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
        if (done()) {
            loop.quit();
        }
    });
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    look.start();
    loop.exec();
    return done();
}

// Runs the event loop alone, as the window does while nothing happens.
void idleFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const int existing = argc > 1 ? std::atoi(argv[1]) : 1'000'000;
    const int appended = argc > 2 ? std::atoi(argv[2]) : 20;
    const int idleSeconds = argc > 3 ? std::atoi(argv[3]) : 20;

    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    const QString folder = home.path() + QStringLiteral("/ZR410_DATA");
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/ZR410_01.DAT");
    {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        QByteArray block;
        for (int i = 0; i < existing; ++i) {
            block += record(i);
            if (block.size() > (1 << 20)) {
                f.write(block);
                block.clear();
            }
        }
        f.write(block);
    }

    frmZR410_GraphView window;
    window.resize(1440, 880);
    window.show();
    window.findChild<QCheckBox*>(QStringLiteral("chbFollow"))->click();
    window.OpenDataFile(path);
    window.waitForTask();
    QApplication::processEvents();

    std::vector<double> latencies;
    QFile log(path);
    log.open(QIODevice::Append);
    for (int n = 0; n < appended; ++n) {
        const qsizetype before = window.chart()->contents()->size();
        QElapsedTimer clock;
        log.write(record(existing + n));
        log.flush();
        clock.start();
        if (!spinUntil([&] { return window.chart()->contents()->size() > before; }, 5000)) {
            std::printf("record %d did not arrive within 5 s\n", n);
            return 1;
        }
        latencies.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
        // The logger writes once a second at the fastest: wait out the rest of it.
        idleFor(1000 - static_cast<int>(clock.elapsed()) % 1000);
    }
    std::sort(latencies.begin(), latencies.end());

    const double cpuBefore = cpuSeconds();
    QElapsedTimer idle;
    idle.start();
    idleFor(idleSeconds * 1000);
    const double idleCpu = (cpuSeconds() - cpuBefore) / (static_cast<double>(idle.elapsed()) / 1e3);

    std::printf("file of %d records followed; %d records appended one a second\n", existing,
                appended);
    std::printf("  write to chart : median %.0f ms, worst %.0f ms (poll every %d ms)\n",
                latencies[latencies.size() / 2], latencies.back(), DataFileFollower::kIntervalMs);
    std::printf("  idle           : %.2f %% of one core over %d s\n", 100 * idleCpu, idleSeconds);
    return 0;
}
